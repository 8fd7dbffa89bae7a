#pragma once

#include <QWidget>

#include <array>

#include "model/parameter_model.h"

class QLabel;
class QSlider;

namespace zx {

class EditActions;

// "Gain" and " Delay ": one vertical slider per channel with its value label below (Out 4's
// group hidden).
class LevelPage : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Gain, Delay };
    LevelPage(Kind kind, EditActions& actions, QWidget* parent = nullptr);

    QSlider* slider(ChannelId ch) const { return sliders_[static_cast<std::size_t>(ch)]; }
    QLabel* label(ChannelId ch) const { return labels_[static_cast<std::size_t>(ch)]; }
    // Every slider and label shows the channel's gain or delay, without editing the model. A
    // delay beyond the slider's range is shown by its label; the slider stops at its end.
    void showModel(const ParameterModel& model);

    // The label text of a slider position.
    static QString LabelText(Kind kind, int position);

  private:
    Kind kind_;
    std::array<QSlider*, kChannelCount> sliders_{};
    std::array<QLabel*, kChannelCount> labels_{};
};

} // namespace zx
