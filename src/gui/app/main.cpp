#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "platform/command_line.h"
#include "platform/qt_window_platform.h"
#include "platform/remembered_ports.h"

namespace {

const char kUsage[] =
    "usage: zephranox [--port PORT]\n"
    "  --port PORT  the port chosen at start: an entry of the port list (ttyUSB0, COM3), a\n"
    "               device path, or a network port tcp://HOST:PORT or rfc2217://HOST:PORT\n";

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zephranox"));

    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("PORT"));
    parser.addOption(port);
    const zx::ToolArguments read = zx::ReadToolArguments(parser, qapp.arguments().mid(1));
    if (read.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!read.error.isEmpty() || !parser.positionalArguments().isEmpty())
        return zx::RefuseCommandLine("zephranox", read.error, kUsage);

    zx::QtPlatform platform;
    QSettings settings(QStringLiteral("zephranox"), QStringLiteral("zephranox"));
    zx::RememberNetworkPorts(platform.ports, settings);
    zx::Application app(platform.platform());
    platform.dialogs.setParent(&app.window);
    app.Start();
    if (parser.isSet(port) && !app.SelectStartPort(parser.value(port)))
        std::fprintf(stderr, "zephranox: no port %s\n", parser.value(port).toUtf8().constData());
    return qapp.exec();
}
