#pragma once

#include <QUndoCommand>

#include <array>

#include "editing/edit_actions.h"

namespace zx {

// One undoable edit per class. Each holds the values before and after the edit and puts
// them back through EditActions, so the model, the frame and the graph follow exactly as
// they do for the edit's own control. The edit has already been made when a command is
// pushed, so the first redo does nothing.
class EditCommand : public QUndoCommand {
  public:
    // Kinds that merge: the steps of one slider movement or one drag.
    enum MergeId { Level = 1, Band = 2 };

    void undo() final;
    void redo() final;

  protected:
    explicit EditCommand(EditActions& actions) : actions_(actions) {}
    virtual void apply(bool after) = 0;
    EditActions& actions_;

  private:
    bool pushed_ = false;
};

class SwitchCommand : public EditCommand {
  public:
    enum class Which { Mute, Polarity };
    SwitchCommand(EditActions& a, ChannelId ch, Which which, int before, int after)
        : EditCommand(a), ch_(ch), which_(which), before_(before), after_(after) {}

  private:
    void apply(bool after) override;
    ChannelId ch_;
    Which which_;
    int before_, after_;
};

// A gain or delay slider; the steps of one press-to-release movement are one edit.
class LevelCommand : public EditCommand {
  public:
    enum class Which { Gain, Delay };
    LevelCommand(EditActions& a, ChannelId ch, Which which, int before, int after, int gesture)
        : EditCommand(a), ch_(ch), which_(which), before_(before), after_(after),
          gesture_(gesture) {}
    int id() const override { return Level; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    void apply(bool after) override;
    ChannelId ch_;
    Which which_;
    int before_, after_;
    int gesture_;
};

class RouteCommand : public EditCommand {
  public:
    RouteCommand(EditActions& a, int output, int before, int after)
        : EditCommand(a), output_(output), before_(before), after_(after) {}

  private:
    void apply(bool after) override;
    int output_, before_, after_;
};

class LimiterCommand : public EditCommand {
  public:
    LimiterCommand(EditActions& a, int output, EditActions::Limiter which, int before, int after)
        : EditCommand(a), output_(output), which_(which), before_(before), after_(after) {}

  private:
    void apply(bool after) override;
    int output_;
    EditActions::Limiter which_;
    int before_, after_;
};

// A band's value, type, drag or wheel step: the whole band before and after. The moves of one
// drag are one edit.
class BandCommand : public EditCommand {
  public:
    BandCommand(EditActions& a, EqBandId band, const EqBandParams& before,
                const EqBandParams& after, int gesture)
        : EditCommand(a), band_(band), before_(before), after_(after), gesture_(gesture) {}
    int id() const override { return Band; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    void apply(bool after) override;
    EqBandId band_;
    EqBandParams before_, after_;
    int gesture_;
};

// One crossover filter's frequency and type.
class CrossoverCommand : public EditCommand {
  public:
    struct Filter {
        int freqIndex = 0;
        int type = 0;
        friend bool operator==(const Filter&, const Filter&) = default;
    };
    CrossoverCommand(EditActions& a, ChannelId ch, bool highPass, Filter before, Filter after)
        : EditCommand(a), ch_(ch), highPass_(highPass), before_(before), after_(after) {}

  private:
    void apply(bool after) override;
    ChannelId ch_;
    bool highPass_;
    Filter before_, after_;
};

// A channel's eight bands at once: "Reset", or a fit to a measurement.
class ChannelEqCommand : public EditCommand {
  public:
    using Bands = EditActions::ChannelBands;
    ChannelEqCommand(EditActions& a, ChannelId ch, const Bands& before, const Bands& after,
                     EditActions::Alongside alongside = {})
        : EditCommand(a), ch_(ch), before_(before), after_(after),
          alongside_(std::move(alongside)) {}

  private:
    void apply(bool after) override;
    ChannelId ch_;
    Bands before_, after_;
    EditActions::Alongside alongside_;
};

} // namespace zx
