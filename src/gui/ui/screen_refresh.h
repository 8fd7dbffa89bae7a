#pragma once

#include "model/parameter_model.h"

namespace zx {

class Graph;
class RoutingPicture;
class ScreenView;

// Sets every display from a freshly applied block: the editor is hidden, every field, list,
// slider and strip button shows the model, and every curve is recomputed and the overview
// drawn. Runs while the link flag is down, so nothing it touches sends a frame. Afterwards the
// current band is 47 and the current crossover channel 5.
void RefreshScreen(ParameterModel& model, Graph& graph, RoutingPicture& routing, ScreenView& view);

// Every field, list, slider and strip button shows the model again, without hiding the editor
// or drawing: after an undone or redone edit, whose own calls have drawn the graph already.
void ShowModelValues(const ParameterModel& model, ScreenView& view);

// The texts the strips and the editor show for a model value.
QString PolarityCaption(int polarity); // "Pol-" for any polarity but 0
inline bool MuteShown(int mute) {
    return mute == 1;
}

} // namespace zx
