#pragma once

#include <QWidget>

#include <array>

#include "model/parameter_model.h"

class QComboBox;

namespace zx {

class EditActions;

// "Limiters": threshold, attack, release and (hidden) ratio of each output, Out 4's group
// hidden.
class LimitersPage : public QWidget {
    Q_OBJECT
  public:
    LimitersPage(EditActions& actions, QWidget* parent = nullptr);

    static constexpr int kLists = 4; // threshold, attack, release, ratio
    QComboBox* list(int output, int which) const {
        return lists_[static_cast<std::size_t>(output)][static_cast<std::size_t>(which)];
    }
    // Every list shows the model's value, without editing the model.
    void showModel(const ParameterModel& model);

  private:
    std::array<std::array<QComboBox*, kLists>, kOutputCount> lists_{};
};

} // namespace zx
