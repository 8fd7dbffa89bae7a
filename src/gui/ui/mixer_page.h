#pragma once

#include <QWidget>

#include <array>

#include "model/parameter_model.h"

class QComboBox;

namespace zx {

class EditActions;

// "Mixer": the routing source of each output (Out 4's group hidden).
class MixerPage : public QWidget {
    Q_OBJECT
  public:
    MixerPage(EditActions& actions, QWidget* parent = nullptr);

    QComboBox* routeList(int output) const { return lists_[static_cast<std::size_t>(output)]; }
    // Every output's list shows its source, without editing the model.
    void showModel(const ParameterModel& model);

  private:
    std::array<QComboBox*, kOutputCount> lists_{};
};

} // namespace zx
