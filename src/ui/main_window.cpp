#include "ui/main_window.h"

#include <QPalette>

namespace zx {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("ZEPHRANOX PC Software - KAVREL / MOSSEK - Version V1.3"));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(51, 51, 51));
    setPalette(pal);
    setAutoFillBackground(true);
}

} // namespace zx
