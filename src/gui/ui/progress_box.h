#pragma once

#include <QGroupBox>

class QLabel;
class QProgressBar;

namespace zx {

// A framed box with a line of text and a progress bar, shown over the main window while an
// operation runs ("Please wait,connecting  device..............").
class ProgressBox : public QGroupBox {
    Q_OBJECT
  public:
    ProgressBox(const QString& text, QWidget* parent);

    // A smaller box: the text and a bar that fills its width, 8 pixels from the edges.
    void setCompactSize(QSize size);

    void setPercent(int percent);
    int percent() const;
    QString text() const;

  private:
    QLabel* label_;
    QProgressBar* bar_;
};

} // namespace zx
