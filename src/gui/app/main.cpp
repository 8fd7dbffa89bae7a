#include <QApplication>
#include <QComboBox>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "app/program_arguments.h"
#include "platform/command_line.h"
#include "platform/path_port_list.h"
#include "platform/qt_window_platform.h"

namespace {

// The arguments as the program got them, read before QApplication, which needs a display.
QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char** argv) {
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
    zx::QtPlatform platform;
    zx::PathPortList ports(platform.ports, args.port);
    zx::Application app(args.port.isEmpty()
                            ? platform.platform()
                            : zx::WindowPlatform{platform.timers, platform.clock, platform.serial,
                                                 ports, platform.dialogs},
                        &settings);
    platform.dialogs.setParent(&app.window);
    app.Start();
    // The named device is listed by now; it is chosen instead of the last entry.
    if (!args.port.isEmpty()) app.window.portSelector()->setCurrentText(args.port);
    zx::LoadStartFiles(args.files, app.measurements);
    return qapp.exec();
}
