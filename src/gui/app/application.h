#pragma once

#include "app/measurement_actions.h"
#include "desktop/remembered_settings.h"
#include "desktop/remembering_dialogs.h"
#include "desktop/window_dialogs.h"
#include "drawing/graph.h"
#include "drawing/routing_picture.h"
#include "editing/edit_actions.h"
#include "model/parameter_model.h"
#include "session/device_link.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"
#include "ui/name_dialog.h"

namespace zx {

// The one instance of every part of the program, wired together. main() makes one on the Qt
// platform; tests make their own on the virtual one.
class Application {
  public:
    // With settings, the program keeps its last port, folders and measurements in them.
    explicit Application(WindowPlatform platform, QSettings* settings = nullptr);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Fills the port list, starts the always-running timers and shows the main window.
    void Start();
    // Chooses the port at start (zephranox --port): an entry of the port list, a device path
    // or a network address, which is added. False when no listed port is meant.
    bool SelectStartPort(const QString& port);
    // "Network port…": asks for the address, adds it to the list and chooses it.
    void AskNetworkPort();

    RememberedSettings remembered;
    RememberingDialogs dialogs;
    WindowPlatform platform; // with the remembering dialogs
    ParameterModel model;
    Graph graph;
    RoutingPicture routing;
    MainWindow window;
    DeviceLink link;
    NameDialog nameDialog;
    EditActions actions;
    EditorWindow editor;
    MeasurementActions measurements;

  private:
    // Not while the windows are disabled (connecting, a preset or file operation, a reset
    // under way) nor during a drag.
    bool editsAllowed() const;
    void WirePresets();
    void wireStrips();
    void wireEditor();
    void wireDragging();
    void wireHistory();
    void wireMarkerHints();
    void wireMeasurements();
    void wirePortMemory();
};

} // namespace zx
