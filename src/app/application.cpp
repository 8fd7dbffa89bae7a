#include "app/application.h"

#include "ui/graph_view.h"
#include "ui/preset_area.h"

namespace zx {

Application::Application(Platform p)
    : platform(p), transport(p.serial, p.ports, p.clock), sendSlots(model, transport, p.timers),
      applier(model, transport, sendSlots), dispatcher(transport, p.timers, applier),
      connection(transport, p.timers, p.dialogs, sendSlots, window), nameDialog(&window),
      devicePresets(transport, p.timers, p.dialogs, sendSlots, model, connection.progressCounter,
                    window),
      presetFiles(transport, p.timers, p.dialogs, sendSlots, applier, model, window) {
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
        devicePresets.ShowImageName();
    });
    WirePresets();
}

void Application::WirePresets() {
    ReplyHooks& hooks = dispatcher.hooks();
    hooks.lastRecalledText = [this](const QString& t) { devicePresets.OnLastRecalled(t); };
    hooks.nameStoreAcknowledged = [this] { devicePresets.OnNameStoreAcknowledged(); };
    hooks.recallPending = [this] { return devicePresets.RecallPending; };
    hooks.recallEnded = [this] { devicePresets.OnRecallEnded(); };
    hooks.namesReceived = [this](const PresetNames& n) { devicePresets.OnNamesReceived(n); };
    hooks.savePending = [this] { return presetFiles.SavePending; };
    hooks.savedBlock = [this](const QString& text) { presetFiles.OnSavedBlock(text); };

    PresetArea* area = window.presetArea();
    QObject::connect(area, &PresetArea::deviceStoreClicked,
                     [this] { devicePresets.OnStoreButton(); });
    QObject::connect(area, &PresetArea::deviceLoadClicked,
                     [this] { devicePresets.OnLoadButton(); });
    QObject::connect(area, &PresetArea::pcStoreClicked, [this] { presetFiles.OnStoreButton(); });
    QObject::connect(area, &PresetArea::pcLoadClicked, [this] { presetFiles.OnLoadButton(); });
    QObject::connect(&window, &MainWindow::presetNameRequested,
                     [this] { platform.dialogs.execModal(nameDialog); });
    nameDialog.setAcceptHandler(
        [this](const QString& typed) { devicePresets.OnNameAccepted(typed); });
}

void Application::Start() {
    model.ResetToDefaults();
    routing.Draw(model);
    connection.Startup();
    window.show();
}

} // namespace zx
