#pragma once

#include <QString>

namespace zx {

// What the preset and file operations show and switch in the main window. The program's main
// window implements it; a command-line driver can implement it without any widget.
class PresetView {
  public:
    virtual ~PresetView() = default;

    // The "Please wait,sending and receving data." box and its bar in whole percent.
    virtual void showProgressBox(bool shown) = 0;
    virtual void setProgressPercent(int percent) = 0;

    virtual void setTopBarEnabled(bool enabled) = 0;
    virtual void setGraphPanelEnabled(bool enabled) = 0;
    virtual void setSignalFlowPanelEnabled(bool enabled) = 0;

    // The read-only "DSP active preset" field.
    virtual void setActivePresetName(const QString& name) = 0;
    virtual void hideEditor() = 0;

    // Opens the preset-name dialog modally and returns when it has closed. Its "OK" hands the
    // typed text to DevicePresets::OnNameAccepted while it is still open.
    virtual void askPresetName() = 0;
};

} // namespace zx
