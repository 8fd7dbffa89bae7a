#pragma once

#include <QString>

#include "model/parameter_model.h"

namespace zx {

// What the screen refresh after an applied block sets in the windows. Each setter only shows
// a value: none of them edits the model or queues a frame.
class ScreenView {
  public:
    virtual ~ScreenView() = default;

    virtual void hideEditor() = 0;
    // The "DSP active preset" field of the main window.
    virtual void setActivePresetName(const QString& name) = 0;

    virtual void setBandFrequencyText(EqBandId band, const QString& text) = 0;
    virtual void setBandGainText(EqBandId band, const QString& text) = 0;
    virtual void setBandQText(EqBandId band, const QString& text) = 0;
    virtual void setBandType(EqBandId band, int type) = 0;
    // A shelf band's Q field is empty and disabled with its spin buttons.
    virtual void setBandQEnabled(EqBandId band, bool enabled) = 0;

    virtual void setCrossoverType(ChannelId ch, bool highPass, int type) = 0;
    virtual void setCrossoverFrequencyText(ChannelId ch, bool highPass, const QString& text) = 0;

    virtual void setDelay(ChannelId ch, int steps, const QString& label) = 0;
    virtual void setGain(ChannelId ch, int index, const QString& label) = 0;
    virtual void setMuteShown(ChannelId ch, bool muted) = 0;
    virtual void setPolarityCaption(ChannelId ch, const QString& caption) = 0;
    // Limiter lists in the order threshold, attack, release, ratio.
    virtual void setLimiterIndex(int output, int list, int index) = 0;
    virtual void setRoute(int output, int source) = 0;
};

} // namespace zx
