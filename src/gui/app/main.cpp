#include <QApplication>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "app/program_arguments.h"
#include "desktop/qt_window_platform.h"
#include "desktop/remembered_ports.h"
#include "platform/command_line.h"
#include "platform/network_address.h"
#include "platform/parent_console.h"

namespace {

// The arguments as the program got them, read before QApplication, which needs a display.
QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char** argv) {
    zx::UseParentConsole();
    if (const auto bad = zx::UnfaithfulArgument(argc, argv)) {
        std::fprintf(stderr, "zephranox: %s\n",
                     zx::UnfaithfulArgumentText(*bad).toUtf8().constData());
        return zx::kWrongCommandLine;
    }
    const zx::ProgramArguments args = zx::ReadProgramArguments(Arguments(argc, argv));
    if (args.exitStatus) {
        std::fputs(args.output.toUtf8().constData(), stdout);
        std::fputs(args.error.toUtf8().constData(), stderr);
        return zx::CloseStandardOutput() ? *args.exitStatus : 1;
    }

    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("zephranox"));
    QCoreApplication::setApplicationName(QStringLiteral("zephranox"));
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zephranox"));

    QSettings settings;
    // A device path is listed beside the machine's ports; a network address is added as the
    // window adds one.
    zx::QtPlatform platform(zx::LooksLikeNetworkAddress(args.port) ? QString() : args.port);
    zx::RememberNetworkPorts(platform.ports, settings);
    zx::Application app(platform.platform(), &settings);
    platform.dialogs.setParent(&app.window);
    app.Start();
    if (!args.port.isEmpty() && !app.SelectStartPort(args.port))
        std::fprintf(stderr, "zephranox: no port %s\n", args.port.toUtf8().constData());
    zx::LoadStartFiles(args.files, app.measurements);
    return qapp.exec();
}
