#pragma once

#include <QWidget>

#include <functional>

#include "model/entry_fields.h"

class QLineEdit;
class QToolButton;

namespace zx {

// The text a numeric field had when it was entered, one for all fields of the program, and
// the flag that says the next field entered captures its text.
struct FieldMemory {
    QString previousText;
    bool capture = true;
};

// A numeric entry field with its pair of spin buttons: keys filtered for its table, commit on
// Enter and on leaving the field, the whole text selected on a click.
class NumberField : public QWidget {
    Q_OBJECT
  public:
    NumberField(FieldTable table, FieldMemory& memory, QWidget* parent = nullptr);

    // Runs first on every commit: makes the field's band or channel the current one.
    std::function<void()> onCommitStart;
    // Stores an accepted index and does the control's action.
    std::function<void(int index)> onStore;
    // A spin step of -1 or +1; returns the index the field then shows.
    std::function<int(int delta)> onSpin;

    QString text() const;
    void setText(const QString& text);
    // Field and spin buttons together; a disabled field of a shelf band is also empty.
    void setFieldEnabled(bool enabled);
    QLineEdit* edit() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
    // The accessible name of the field; the buttons get it with " up" and " down".
    void setName(const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void commit(bool enterKey);
    void spin(int delta);

    FieldTable table_;
    FieldMemory& memory_;
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace zx
