#include "editing/edit_commands.h"

namespace zx {

void EditCommand::undo() {
    actions_.Replay([this] { apply(false); });
}

void EditCommand::redo() {
    if (!pushed_) {
        pushed_ = true; // made by the control already
        return;
    }
    actions_.Replay([this] { apply(true); });
}

void SwitchCommand::apply(bool after) {
    const int v = after ? after_ : before_;
    if (which_ == Which::Mute) {
        actions_.SetMute(ch_, v);
    } else {
        actions_.SetPolarity(ch_, v);
    }
}

bool LevelCommand::mergeWith(const QUndoCommand* other) {
    const auto* o = static_cast<const LevelCommand*>(other);
    if (gesture_ == 0 || o->gesture_ != gesture_ || o->ch_ != ch_ || o->which_ != which_)
        return false;
    after_ = o->after_;
    setObsolete(after_ == before_);
    return true;
}

void LevelCommand::apply(bool after) {
    const int v = after ? after_ : before_;
    if (which_ == Which::Gain) {
        actions_.SetGain(ch_, v);
    } else {
        actions_.SetDelay(ch_, v);
    }
}

void RouteCommand::apply(bool after) {
    actions_.SetRoute(output_, after ? after_ : before_);
}

void LimiterCommand::apply(bool after) {
    actions_.SetLimiter(output_, which_, after ? after_ : before_);
}

bool BandCommand::mergeWith(const QUndoCommand* other) {
    const auto* o = static_cast<const BandCommand*>(other);
    if (gesture_ == 0 || o->gesture_ != gesture_ || o->band_ != band_) return false;
    after_ = o->after_;
    setObsolete(after_ == before_);
    return true;
}

void BandCommand::apply(bool after) {
    actions_.RestoreBand(band_, after ? after_ : before_);
}

void CrossoverCommand::apply(bool after) {
    const Filter& f = after ? after_ : before_;
    actions_.RestoreCrossover(ch_, highPass_, f.freqIndex, f.type);
}

void ChannelEqCommand::apply(bool after) {
    if (alongside_) alongside_(after);
    actions_.RestoreChannelEq(ch_, after ? after_ : before_);
}

} // namespace zx
