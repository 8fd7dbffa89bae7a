#include "ui/screen_refresh.h"

#include "drawing/graph.h"
#include "drawing/routing_picture.h"
#include "ui/channel_strips.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"
#include "ui/preset_area.h"

namespace zx {

void RefreshScreen(ParameterModel& model, Graph& graph, RoutingPicture& routing, MainWindow& main,
                   EditorWindow& editor) {
    editor.hide();
    // The delay slider's own handling keeps the halves in step with the steps.
    for (ChannelParams& ch : model.channels) RefreshHalves(ch);
    main.presetArea()->showModel(model);
    ShowModelValues(model, main, editor);
    graph.RefreshAll(model);
    routing.Draw(model);
}

void ShowModelValues(const ParameterModel& model, MainWindow& main, EditorWindow& editor) {
    main.strips()->showModel(model);
    editor.showModel(model);
}

} // namespace zx
