#include "app/application.h"

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
}

void Application::Start() {
    model.ResetToDefaults();
    connection.Startup();
    window.show();
}

} // namespace zx
