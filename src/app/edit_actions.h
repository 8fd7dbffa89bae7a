#pragma once

#include <optional>

#include "model/parameter_model.h"

namespace zx {

class Graph;
class RoutingPicture;
class SendSlots;

// Every edit a control or a drag can make, without the controls: the new value goes into
// the model, then the group's frame is rebuilt and queued, then the graph is redrawn, in the
// order the device and the screen expect. The windows call these and show the result.
class EditActions {
  public:
    EditActions(ParameterModel& model, Graph& graph, RoutingPicture& routing, SendSlots& sendSlots)
        : model_(model), graph_(graph), routing_(routing), slots_(sendSlots) {}

    // Strip buttons.
    void ToggleMute(ChannelId ch);
    void TogglePolarity(ChannelId ch);

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

    // Crossover filters: each makes the channel the current crossover channel.
    int CrossoverFrequency(ChannelId ch, bool highPass) const;
    void SetCrossoverFrequency(ChannelId ch, bool highPass, int index);
    int StepCrossover(ChannelId ch, bool highPass, int delta);
    void SetCrossoverType(ChannelId ch, bool highPass, int type);

    // Dragging a band marker of the channel the editor shows (nullopt: no channel page).
    bool DragPress(std::optional<ChannelId> page, int x, int y);
    // The band moved, or nullopt when no drag is under way.
    std::optional<EqBandId> DragMove(int x, int y);
    void DragRelease() { dragging_ = false; }
    bool dragging() const { return dragging_; }

  private:
    void BandChanged(EqBandId band);
    void CrossoverChanged(ChannelId ch, bool highPass);

    ParameterModel& model_;
    Graph& graph_;
    RoutingPicture& routing_;
    SendSlots& slots_;
    bool dragging_ = false;
};

} // namespace zx
