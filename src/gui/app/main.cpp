#include <QApplication>

#include "app/application.h"
#include "platform/qt_window_platform.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zephranox"));
    zx::QtPlatform platform;
    zx::Application app(platform.platform());
    platform.dialogs.setParent(&app.window);
    app.Start();
    return qapp.exec();
}
