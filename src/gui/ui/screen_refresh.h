#pragma once

#include "model/parameter_model.h"

namespace zx {

class EditorWindow;
class Graph;
class MainWindow;
class RoutingPicture;

// Sets every display from a freshly applied block: the editor is hidden, the active preset
// name and every page shows the model, and every curve is recomputed and the overview drawn.
// Runs while the link flag is down, so nothing it touches sends a frame. Afterwards the
// current band is 47 and the current crossover channel 5.
void RefreshScreen(ParameterModel& model, Graph& graph, RoutingPicture& routing, MainWindow& main,
                   EditorWindow& editor);

// The strips and every editor page show the model again, without hiding the editor, drawing
// or touching the active preset name: after an undone or redone edit, whose own calls have
// drawn the graph already.
void ShowModelValues(const ParameterModel& model, MainWindow& main, EditorWindow& editor);

} // namespace zx
