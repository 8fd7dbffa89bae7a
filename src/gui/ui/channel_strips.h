#pragma once

#include <QObject>

#include <array>

#include "model/parameter_model.h"

class QPushButton;
class QWidget;

namespace zx {

// The editor pages a strip button opens.
enum class EditorPage { Mixer, Gain, Delay, Limiters };

// The six channel strips of the signal-flow panel (Out 4's lies below the window and stays
// hidden): Mute and Pol edit at once, the other buttons open the editor.
class ChannelStrips : public QObject {
    Q_OBJECT
  public:
    explicit ChannelStrips(QWidget* panel);

    QPushButton* muteButton(ChannelId ch) const { return mute_[static_cast<std::size_t>(ch)]; }
    QPushButton* polButton(ChannelId ch) const { return pol_[static_cast<std::size_t>(ch)]; }
    // Every Mute button is red for a mute of 1 and grey otherwise, every Pol button reads
    // "Pol+" for a polarity of 0 and "Pol-" otherwise.
    void showModel(const ParameterModel& model);

  signals:
    void muteClicked(ChannelId ch);
    void polClicked(ChannelId ch);
    void pageRequested(EditorPage page);
    // "EQ" and "XOver" both open the channel's page.
    void channelRequested(ChannelId ch);

  private:
    std::array<QPushButton*, kChannelCount> mute_{};
    std::array<QPushButton*, kChannelCount> pol_{};
};

} // namespace zx
