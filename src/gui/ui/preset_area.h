#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace zx {

struct ParameterModel;

// The preset area of the signal-flow panel: the "Device" half (recall and store of device
// presets, the "DSP active preset" field) and the "PC" half (preset files), in a frame of
// 2-pixel lines. The buttons only signal; the operations live elsewhere.
class PresetArea : public QWidget {
    Q_OBJECT
  public:
    // Placed in the signal-flow panel, whose coordinates the layout uses.
    explicit PresetArea(QWidget* signalFlowPanel);

    QPushButton* deviceLoadButton() const { return deviceLoad_; }
    QPushButton* deviceStoreButton() const { return deviceStore_; }
    QPushButton* pcLoadButton() const { return pcLoad_; }
    QPushButton* pcStoreButton() const { return pcStore_; }
    QLineEdit* activePresetField() const { return activeName_; }

    void setActivePresetName(const QString& name);
    // The "DSP active preset" field shows the name of the block in the model.
    void showModel(const ParameterModel& model);

  signals:
    void deviceLoadClicked();
    void deviceStoreClicked();
    void pcLoadClicked();
    void pcStoreClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPushButton* button(const QString& caption, const QString& accessibleName, QPoint panelPos);

    QPushButton* deviceLoad_;
    QPushButton* deviceStore_;
    QPushButton* pcLoad_;
    QPushButton* pcStore_;
    QLineEdit* activeName_;
};

} // namespace zx
