#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zx {

// Asks for the name a device preset is stored under. Made once and reused: nothing clears the
// field, so every showing offers the name typed last. Enter and Escape mean nothing here.
class NameDialog : public QDialog {
    Q_OBJECT
  public:
    explicit NameDialog(QWidget* mainWindow);

    // Runs on "OK" with the field's text, after the dialog has hidden itself and before it
    // closes, so the dialog stays modal while the store and the recall request go out.
    void setAcceptHandler(std::function<void(const QString&)> handler) {
        onAccept_ = std::move(handler);
    }

    QLineEdit* nameField() const { return field_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // Under the field: why the last character typed was refused, until the next one is taken.
    QLabel* hint() const { return hint_; }

    static constexpr int kMaxNameLength = 19;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void OnOk();

    QLineEdit* field_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QLabel* hint_;
    std::function<void(const QString&)> onAccept_;
};

} // namespace zx
