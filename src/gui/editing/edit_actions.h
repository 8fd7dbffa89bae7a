#pragma once

#include <QUndoStack>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "model/parameter_model.h"

namespace zx {

class Graph;
class RoutingPicture;
class SendSlots;

// Every edit a control or a drag can make, without the controls: the new value goes into
// the model, then the group's frame is rebuilt and queued, then the graph is redrawn, in the
// order the device and the screen expect. The windows call these and show the result.
// Each edit is also recorded on the undo history; undoing and redoing come back through the
// same calls, so they reach the device and the graph the same way.
class EditActions {
  public:
    EditActions(ParameterModel& model, Graph& graph, RoutingPicture& routing, SendSlots& sendSlots)
        : model_(model), graph_(graph), routing_(routing), slots_(sendSlots) {}

    // Strip buttons.
    void ToggleMute(ChannelId ch);
    void TogglePolarity(ChannelId ch);
    void SetMute(ChannelId ch, int mute);
    void SetPolarity(ChannelId ch, int polarity);

    // Editor lists and sliders.
    void SetRoute(int output, int source);
    void SetGain(ChannelId ch, int index);
    void SetDelay(ChannelId ch, int steps);
    enum class Limiter { Threshold, Attack, Release, Ratio };
    void SetLimiter(int output, Limiter which, int index);

    // A field being committed makes its band, or its channel's crossover, the current one.
    void SetCurrentBand(EqBandId band);
    void SetCurrentCrossover(ChannelId ch);

    // EQ bands: each makes the band the current band first.
    enum class BandField { Frequency, Gain, Q };
    int BandIndex(EqBandId band, BandField field) const; // gain: the active gain index
    void SetBandValue(EqBandId band, BandField field, int index);
    // One step down (-1) or up (+1) within the field's table; the index after the step.
    int StepBand(EqBandId band, BandField field, int delta);
    void SetBandType(EqBandId band, int type);
    // The channel's eight bands back to their defaults, each queued and redrawn in order.
    void ResetChannelEq(ChannelId ch);
    // The channel's eight bands set at once (a fit), each queued and redrawn in order; one edit.
    // `alongside` puts back what belongs to the same step (the level a fit found for the
    // measurement drawn over them): true for the state after the edit, false before. It runs
    // on undo and redo, before the bands are redrawn.
    using ChannelBands = std::array<EqBandParams, kBandsPerChannel>;
    using Alongside = std::function<void(bool after)>;
    void SetChannelEq(ChannelId ch, const ChannelBands& bands, Alongside alongside = {});

    // Crossover filters: each makes the channel the current crossover channel.
    int CrossoverFrequency(ChannelId ch, bool highPass) const;
    void SetCrossoverFrequency(ChannelId ch, bool highPass, int index);
    int StepCrossover(ChannelId ch, bool highPass, int delta);
    void SetCrossoverType(ChannelId ch, bool highPass, int type);

    // Dragging a band marker of the channel the editor shows (nullopt: no channel page).
    bool DragPress(std::optional<ChannelId> page, int x, int y);
    // The band moved, or nullopt when no drag is under way. The pressed band moves even when
    // a field of another band commits after the press (its window losing the focus to the
    // graph's) and makes that band the current one.
    std::optional<EqBandId> DragMove(int x, int y);
    void DragRelease();
    bool dragging() const { return dragged_.has_value(); }

    // The mouse wheel over a marker of the page's channel: a PEQ band's Q index steps once per
    // notch (positive: up, narrower), as its spin buttons do. The band stepped, or nullopt
    // over a shelf or away from every marker.
    std::optional<EqBandId> WheelQ(std::optional<ChannelId> page, int x, int y, int notches);

    // Undo and redo. Steps made between BeginGesture and EndGesture (a slider held down)
    // are one edit; a drag is one by itself.
    QUndoStack& history() { return history_; }
    void BeginGesture() { gesture_ = ++gestureCount_; }
    void EndGesture() { gesture_ = 0; }
    // Runs after every undo or redo, for the windows to show the model again.
    void setReplayedHandler(std::function<void()> handler) { replayed_ = std::move(handler); }

    // Used by the undo history only: values put back as their own controls would, unrecorded.
    void Replay(const std::function<void()>& apply);
    void RestoreBand(EqBandId band, const EqBandParams& params);
    void RestoreCrossover(ChannelId ch, bool highPass, int freqIndex, int type);
    void RestoreChannelEq(ChannelId ch, const ChannelBands& bands);

  private:
    void BandChanged(EqBandId band);
    void CrossoverChanged(ChannelId ch, bool highPass);
    void ApplyBandValue(EqBandId band, BandField field, int index);
    void Record(std::unique_ptr<QUndoCommand> command);

    ParameterModel& model_;
    Graph& graph_;
    RoutingPicture& routing_;
    SendSlots& slots_;
    std::optional<EqBandId> dragged_;
    QUndoStack history_;
    bool replaying_ = false;
    int gesture_ = 0;
    int gestureCount_ = 0;
    std::function<void()> replayed_;
};

} // namespace zx
