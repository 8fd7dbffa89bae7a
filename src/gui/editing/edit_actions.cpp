#include "editing/edit_actions.h"

#include <algorithm>
#include <cstdlib>

#include "editing/edit_commands.h"

#include "drawing/graph.h"
#include "drawing/routing_picture.h"
#include "link/send_slots.h"
#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "response/graph_drag.h"

namespace zx {
namespace {

FieldTable TableOf(EditActions::BandField field) {
    switch (field) {
    case EditActions::BandField::Frequency:
        return FieldTable::Frequency;
    case EditActions::BandField::Gain:
        return FieldTable::EqGain;
    case EditActions::BandField::Q:
        break;
    }
    return FieldTable::Q;
}

std::uint8_t Flip(std::uint8_t flag) {
    return flag ? 0 : 1;
}

} // namespace

void EditActions::ToggleMute(ChannelId ch) {
    SetMute(ch, Flip(model_.channels[static_cast<std::size_t>(ch)].mute));
}

void EditActions::TogglePolarity(ChannelId ch) {
    SetPolarity(ch, model_.channels[static_cast<std::size_t>(ch)].polarity == 1 ? 0 : 1);
}

void EditActions::SetMute(ChannelId ch, int mute) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    const int before = c.mute;
    c.mute = static_cast<std::uint8_t>(mute);
    slots_.BuildChannelSettings(ch);
    if (before != c.mute)
        Record(
            std::make_unique<SwitchCommand>(*this, ch, SwitchCommand::Which::Mute, before, c.mute));
}

void EditActions::SetPolarity(ChannelId ch, int polarity) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    const int before = c.polarity;
    c.polarity = static_cast<std::uint8_t>(polarity);
    slots_.BuildChannelSettings(ch);
    if (before != c.polarity)
        Record(std::make_unique<SwitchCommand>(*this, ch, SwitchCommand::Which::Polarity, before,
                                               c.polarity));
}

void EditActions::SetRoute(int output, int source) {
    auto& route = model_.outputs[static_cast<std::size_t>(output)].routeSource;
    const int before = route;
    route =
        static_cast<std::uint8_t>(std::clamp(source, 0, static_cast<int>(kRouteSourceCount) - 1));
    routing_.Draw(model_);
    slots_.BuildChannelSettings(output + kInputCount);
    if (before != route) Record(std::make_unique<RouteCommand>(*this, output, before, route));
}

void EditActions::SetGain(ChannelId ch, int index) {
    auto& gain = model_.channels[static_cast<std::size_t>(ch)].gainIndex;
    const int before = gain;
    gain = static_cast<std::uint8_t>(std::clamp(index, 0, kMaxChannelGainIndex));
    graph_.RedrawOverview(model_);
    slots_.BuildChannelSettings(ch);
    if (before != gain)
        Record(std::make_unique<LevelCommand>(*this, ch, LevelCommand::Which::Gain, before, gain,
                                              gesture_));
}

void EditActions::SetDelay(ChannelId ch, int steps) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    const int before = c.delaySteps;
    c.delaySteps = static_cast<std::uint16_t>(std::clamp(steps, 0, kMaxDelaySteps));
    // The frame and a saved file read the halves, so they must follow every change.
    RefreshHalves(c);
    slots_.BuildChannelSettings(ch);
    if (before != c.delaySteps)
        Record(std::make_unique<LevelCommand>(*this, ch, LevelCommand::Which::Delay, before,
                                              c.delaySteps, gesture_));
}

void EditActions::SetLimiter(int output, Limiter which, int index) {
    auto& o = model_.outputs[static_cast<std::size_t>(output)];
    const OutputParams before = o;
    const auto v = static_cast<std::uint8_t>(std::max(index, 0));
    switch (which) {
    case Limiter::Threshold:
        o.limiterThresholdIndex = std::min<std::uint8_t>(v, kThresholdScaleSize - 1);
        break;
    case Limiter::Attack:
        o.limiterAttackIndex = std::min<std::uint8_t>(v, kAttackScaleSize - 1);
        break;
    case Limiter::Release:
        o.limiterReleaseIndex = std::min<std::uint8_t>(v, kReleaseScaleSize - 1);
        break;
    case Limiter::Ratio:
        o.limiterRatioIndex = std::min<std::uint8_t>(v, kRatioScaleSize - 1);
        break;
    }
    slots_.BuildLimiter(output + kInputCount);
    if (before == o) return;
    const auto indexOf = [which](const OutputParams& p) -> int {
        switch (which) {
        case Limiter::Threshold:
            return p.limiterThresholdIndex;
        case Limiter::Attack:
            return p.limiterAttackIndex;
        case Limiter::Release:
            return p.limiterReleaseIndex;
        case Limiter::Ratio:
            break;
        }
        return p.limiterRatioIndex;
    };
    Record(std::make_unique<LimiterCommand>(*this, output, which, indexOf(before), indexOf(o)));
}

void EditActions::SetCurrentBand(EqBandId band) {
    graph_.setCurrentBand(band);
}
void EditActions::SetCurrentCrossover(ChannelId ch) {
    graph_.setCurrentCrossoverChannel(ch);
}

int EditActions::BandIndex(EqBandId band, BandField field) const {
    const EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    switch (field) {
    case BandField::Frequency:
        return b.freqIndex;
    case BandField::Gain:
        return ActiveGainIndex(b);
    case BandField::Q:
        break;
    }
    return b.qIndex;
}

void EditActions::SetBandValue(EqBandId band, BandField field, int index) {
    const EqBandParams before = model_.bands[static_cast<std::size_t>(band)];
    ApplyBandValue(band, field, index);
    const EqBandParams& after = model_.bands[static_cast<std::size_t>(band)];
    if (before != after)
        Record(std::make_unique<BandCommand>(*this, band, before, after, gesture_));
}

void EditActions::ApplyBandValue(EqBandId band, BandField field, int index) {
    graph_.setCurrentBand(band);
    EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    index = std::clamp(index, 0, FieldMaxIndex(TableOf(field)));
    switch (field) {
    case BandField::Frequency:
        b.freqIndex = static_cast<std::uint8_t>(index);
        break;
    case BandField::Gain:
        SetActiveGainIndex(b, static_cast<std::uint16_t>(index));
        break;
    case BandField::Q:
        b.qIndex = static_cast<std::uint8_t>(index);
        break;
    }
    BandChanged(band);
}

int EditActions::StepBand(EqBandId band, BandField field, int delta) {
    graph_.setCurrentBand(band);
    const int index = BandIndex(band, field);
    const int next = index + delta;
    if (next < 0 || next > FieldMaxIndex(TableOf(field))) return index;
    SetBandValue(band, field, next);
    return next;
}

void EditActions::SetBandType(EqBandId band, int type) {
    graph_.setCurrentBand(band);
    EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    const EqBandParams before = b;
    b.type = static_cast<std::uint8_t>(std::clamp(type, 0, static_cast<int>(kEqTypeCount) - 1));
    graph_.RefreshBand(model_, band);
    slots_.BuildEqBand(band);
    if (before != b) Record(std::make_unique<BandCommand>(*this, band, before, b, 0));
}

void EditActions::ResetChannelEq(ChannelId ch) {
    ChannelBands bands;
    for (int n = 0; n < kBandsPerChannel; ++n) bands[static_cast<std::size_t>(n)] = DefaultBand(n);
    SetChannelEq(ch, bands);
}

void EditActions::SetChannelEq(ChannelId ch, const ChannelBands& bands, Alongside alongside) {
    ChannelBands before;
    for (int n = 0; n < kBandsPerChannel; ++n)
        before[static_cast<std::size_t>(n)] = model_.band(ch, n);
    RestoreChannelEq(ch, bands);
    ChannelBands after;
    for (int n = 0; n < kBandsPerChannel; ++n)
        after[static_cast<std::size_t>(n)] = model_.band(ch, n);
    if (before != after)
        Record(std::make_unique<ChannelEqCommand>(*this, ch, before, after, std::move(alongside)));
}

void EditActions::RestoreChannelEq(ChannelId ch, const ChannelBands& bands) {
    for (int n = 0; n < kBandsPerChannel; ++n)
        model_.band(ch, n) = bands[static_cast<std::size_t>(n)];
    for (int n = 0; n < kBandsPerChannel; ++n) {
        graph_.setCurrentBand(BandId(ch, n));
        BandChanged(BandId(ch, n));
    }
}

void EditActions::RestoreBand(EqBandId band, const EqBandParams& params) {
    graph_.setCurrentBand(band);
    model_.bands[static_cast<std::size_t>(band)] = params;
    BandChanged(band);
}

void EditActions::BandChanged(EqBandId band) {
    slots_.BuildEqBand(band);
    graph_.RefreshBand(model_, band);
}

int EditActions::CrossoverFrequency(ChannelId ch, bool highPass) const {
    const auto& c = model_.channels[static_cast<std::size_t>(ch)];
    return highPass ? c.hpfFreqIndex : c.lpfFreqIndex;
}

void EditActions::SetCrossoverFrequency(ChannelId ch, bool highPass, int index) {
    const auto& c = model_.channels[static_cast<std::size_t>(ch)];
    RestoreCrossover(ch, highPass, std::clamp(index, 0, kMaxFrequencyIndex),
                     highPass ? c.hpfType : c.lpfType);
}

int EditActions::StepCrossover(ChannelId ch, bool highPass, int delta) {
    graph_.setCurrentCrossoverChannel(ch);
    const int index = CrossoverFrequency(ch, highPass);
    const int next = index + delta;
    if (next < 0 || next > kMaxFrequencyIndex) return index;
    SetCrossoverFrequency(ch, highPass, next);
    return next;
}

void EditActions::SetCrossoverType(ChannelId ch, bool highPass, int type) {
    RestoreCrossover(ch, highPass, CrossoverFrequency(ch, highPass),
                     std::clamp(type, 0, static_cast<int>(kCrossoverTypeCount) - 1));
}

void EditActions::RestoreCrossover(ChannelId ch, bool highPass, int freqIndex, int type) {
    graph_.setCurrentCrossoverChannel(ch);
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    auto& freq = highPass ? c.hpfFreqIndex : c.lpfFreqIndex;
    auto& kind = highPass ? c.hpfType : c.lpfType;
    const CrossoverCommand::Filter before{freq, kind};
    freq = static_cast<std::uint8_t>(freqIndex);
    kind = static_cast<std::uint8_t>(type);
    CrossoverChanged(ch, highPass);
    const CrossoverCommand::Filter after{freq, kind};
    if (before != after)
        Record(std::make_unique<CrossoverCommand>(*this, ch, highPass, before, after));
}

void EditActions::CrossoverChanged(ChannelId ch, bool highPass) {
    graph_.RedrawCrossover(model_, ch, highPass);
    slots_.BuildCrossover(ch);
}

bool EditActions::DragPress(std::optional<ChannelId> page, int x, int y) {
    if (!page) return false;
    const auto hit = HitBand(graph_.markers(), *page, x, y);
    if (!hit) return false;
    graph_.setCurrentBand(*hit);
    dragged_ = hit;
    BeginGesture();
    return true;
}

void EditActions::DragRelease() {
    dragged_.reset();
    EndGesture();
}

std::optional<EqBandId> EditActions::DragMove(int x, int y) {
    if (!dragged_) return std::nullopt;
    const EqBandId band = *dragged_;
    EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    const EqBandParams before = b;
    const DragStep step = zx::DragMove(b, graph_.marker(band), x, y);
    graph_.setMarker(band, step.marker);
    b.freqIndex = static_cast<std::uint8_t>(step.freqIndex);
    SetActiveGainIndex(b, static_cast<std::uint16_t>(step.gainIndex));
    graph_.RefreshBand(model_, band);
    slots_.BuildEqBand(band);
    if (before != b) Record(std::make_unique<BandCommand>(*this, band, before, b, gesture_));
    return band;
}

std::optional<EqBandId> EditActions::WheelQ(std::optional<ChannelId> page, int x, int y,
                                            int notches) {
    if (!page || dragged_) return std::nullopt;
    const auto hit = HitBand(graph_.markers(), *page, x, y);
    if (!hit || !IsPeaking(model_.bands[static_cast<std::size_t>(*hit)])) return std::nullopt;
    // Each notch is a step of its own, as a click on a spin button is.
    for (int n = 0; n < std::abs(notches); ++n) StepBand(*hit, BandField::Q, notches > 0 ? 1 : -1);
    return hit;
}

void EditActions::Replay(const std::function<void()>& apply) {
    replaying_ = true;
    apply();
    replaying_ = false;
    if (replayed_) replayed_();
}

void EditActions::Record(std::unique_ptr<QUndoCommand> command) {
    if (replaying_) return;
    history_.push(command.release());
}

} // namespace zx
