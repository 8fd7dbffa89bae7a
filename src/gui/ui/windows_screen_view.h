#pragma once

#include "ui/screen_view.h"

namespace zx {

class EditorWindow;
class MainWindow;

// The screen refresh's view of the two windows.
class WindowsScreenView : public ScreenView {
  public:
    WindowsScreenView(MainWindow& main, EditorWindow& editor) : main_(main), editor_(editor) {}

    void hideEditor() override;
    void setActivePresetName(const QString& name) override;
    void setBandFrequencyText(EqBandId band, const QString& text) override;
    void setBandGainText(EqBandId band, const QString& text) override;
    void setBandQText(EqBandId band, const QString& text) override;
    void setBandType(EqBandId band, int type) override;
    void setBandQEnabled(EqBandId band, bool enabled) override;
    void setCrossoverType(ChannelId ch, bool highPass, int type) override;
    void setCrossoverFrequencyText(ChannelId ch, bool highPass, const QString& text) override;
    void setDelay(ChannelId ch, int steps, const QString& label) override;
    void setGain(ChannelId ch, int index, const QString& label) override;
    void setMuteShown(ChannelId ch, bool muted) override;
    void setPolarityCaption(ChannelId ch, const QString& caption) override;
    void setLimiterIndex(int output, int list, int index) override;
    void setRoute(int output, int source) override;

  private:
    MainWindow& main_;
    EditorWindow& editor_;
};

} // namespace zx
