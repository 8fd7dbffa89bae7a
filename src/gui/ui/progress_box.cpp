#include "ui/progress_box.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

#include "ui/ui_style.h"

namespace zx {

ProgressBox::ProgressBox(const QString& text, QWidget* parent)
    : QGroupBox(parent), label_(new QLabel(text, this)), bar_(new QProgressBar(this)) {
    resize(364, 84);
    setStyleSheet(QStringLiteral("QGroupBox { background: rgb(51,51,51); border: 1px solid "
                                 "rgb(160,160,160); }"));
    label_->setFont(ArialPx(13));
    label_->setStyleSheet(QStringLiteral("color: white; background: transparent; border: none;"));
    label_->move(24, 8);
    label_->adjustSize();
    bar_->setGeometry(24, 40, 297, 17);
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setValue(0);
    hide();
}

void ProgressBox::setCompactSize(QSize size) {
    resize(size);
    label_->move(8, 8);
    bar_->setGeometry(8, size.height() - 27, size.width() - 16, 17);
}

void ProgressBox::setPercent(int percent) {
    bar_->setValue(std::clamp(percent, 0, 100));
}
int ProgressBox::percent() const {
    return bar_->value();
}
QString ProgressBox::text() const {
    return label_->text();
}

} // namespace zx
