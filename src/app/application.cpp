#include "app/application.h"

#include "ui/graph_view.h"

namespace zx {

Application::Application(Platform p)
    : platform(p), transport(p.serial, p.ports, p.clock), sendSlots(model, transport, p.timers),
      applier(model, transport, sendSlots), dispatcher(transport, p.timers, applier),
      connection(transport, p.timers, p.dialogs, sendSlots, window) {
    transport.setDispatcher([this] { dispatcher.DispatchReplies(); });

    ReplyHooks& hooks = dispatcher.hooks();
    hooks.deviceBlockApplied = [this] { connection.OnDeviceBlockApplied(); };
    hooks.handshakeBlockApplied = [this] { connection.OnHandshakeBlockApplied(); };

    QObject::connect(&window, &MainWindow::connectClicked,
                     [this] { connection.OnConnectButton(); });

    window.showPictures(graph.image(), routing.image());
    QObject::connect(&graph, &Graph::imageChanged, window.graphView(), &GraphView::refresh);
    QObject::connect(&routing, &RoutingPicture::imageChanged, window.routingView(),
                     &GraphView::refresh);
    QObject::connect(&window, &MainWindow::crossoverChannelReset, &graph,
                     [this] { graph.setCurrentCrossoverChannel(0); });
    QObject::connect(&window, &MainWindow::curveShownChanged, &graph,
                     [this](int ch, bool shown) { graph.ShowSwitchClicked(model, ch, shown); });
    // Every block applied, from the device or a file, redraws the curves and the routing.
    applier.setImageAppliedHandler([this] {
        graph.RefreshAll(model);
        routing.Draw(model);
    });
}

void Application::Start() {
    model.ResetToDefaults();
    routing.Draw(model);
    connection.Startup();
    window.show();
}

} // namespace zx
