#pragma once

#include "app/edit_actions.h"
#include "link/connection.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/parameter_model.h"
#include "platform/platform.h"
#include "presets/device_presets.h"
#include "presets/preset_files.h"
#include "replies/apply_image.h"
#include "replies/reply_dispatcher.h"
#include "response/graph.h"
#include "response/routing_picture.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"
#include "ui/name_dialog.h"
#include "ui/windows_screen_view.h"

namespace zx {

// The one instance of every part of the program, wired together. main() makes one on the Qt
// platform; tests make their own on the virtual one.
class Application {
  public:
    explicit Application(Platform platform);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Fills the port list, starts the always-running timers and shows the main window.
    void Start();

    Platform platform;
    ParameterModel model;
    Graph graph;
    RoutingPicture routing;
    MainWindow window;
    SerialTransport transport;
    SendSlots sendSlots;
    ImageApplier applier;
    ReplyDispatcher dispatcher;
    Connection connection;
    NameDialog nameDialog;
    DevicePresets devicePresets;
    PresetFiles presetFiles;
    EditActions actions;
    EditorWindow editor;
    WindowsScreenView screenView;

  private:
    void WirePresets();
    void wireStrips();
    void wireEditor();
    void wireDragging();
    void wireHistory();
    void wireMarkerHints();
};

} // namespace zx
