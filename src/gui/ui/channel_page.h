#pragma once

#include <QWidget>

#include <array>

#include "model/parameter_model.h"

class QComboBox;
class QPushButton;

namespace zx {

class EditActions;
class NumberField;
struct FieldMemory;

// One channel's page: the "XOver" group (high-pass and low-pass frequency and type) and the
// "EQ" group (eight band rows and "Reset"). Made once per channel.
class ChannelPage : public QWidget {
    Q_OBJECT
  public:
    ChannelPage(ChannelId ch, EditActions& actions, FieldMemory& memory, QWidget* parent = nullptr);

    ChannelId channel() const { return channel_; }

    enum Column { Frequency, Gain, Q };
    // Row 0..7 of the page.
    NumberField* bandField(int row, Column column) const {
        return fields_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    QComboBox* bandType(int row) const { return types_[static_cast<std::size_t>(row)]; }
    NumberField* crossoverField(bool highPass) const { return highPass ? hpf_ : lpf_; }
    QComboBox* crossoverType(bool highPass) const { return highPass ? hpfType_ : lpfType_; }
    QPushButton* resetButton() const { return reset_; }

    // Every field and list of the page shows the channel's bands and crossover, without
    // editing the model.
    void showModel(const ParameterModel& model);
    // The fields after the channel's EQ was reset.
    void showResetValues();

  signals:
    void resetClicked(ChannelId ch);

  private:
    // Shows a type without editing the model.
    void setBandType(int row, int type);
    void setCrossoverType(bool highPass, int type);
    // The Q field of a row after the type its list shows: a peaking band's shows the Q index, a
    // shelf band's is emptied and disabled.
    void showQ(int row, int qIndex);
    void buildCrossover(FieldMemory& memory);
    void buildEq(FieldMemory& memory);

    ChannelId channel_;
    EditActions& actions_;
    std::array<std::array<NumberField*, 3>, kBandsPerChannel> fields_{};
    std::array<QComboBox*, kBandsPerChannel> types_{};
    NumberField* hpf_ = nullptr;
    NumberField* lpf_ = nullptr;
    QComboBox* hpfType_ = nullptr;
    QComboBox* lpfType_ = nullptr;
    QPushButton* reset_ = nullptr;
};

} // namespace zx
