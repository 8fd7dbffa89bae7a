#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "app/start_files.h"
#include "platform/command_line.h"
#include "platform/qt_window_platform.h"

namespace {

constexpr const char* kUsage = "usage: zephranox [--measurement CHANNEL=FILE ...] "
                               "[--target FILE|flat]\n\n";

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("zephranox"));
    QCoreApplication::setApplicationName(QStringLiteral("zephranox"));
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zephranox"));

    QCommandLineParser parser;
    zx::AddStartFileOptions(parser);
    const zx::ToolArguments read = zx::ReadToolArguments(parser, qapp.arguments().mid(1));
    QString error = read.error;
    std::optional<zx::StartFiles> files;
    if (error.isEmpty() && !read.help) files = zx::ReadStartFiles(parser, error);
    if (read.help && error.isEmpty()) {
        std::fputs(kUsage, stdout);
        std::fputs(zx::kStartFilesUsage, stdout);
        return 0;
    }
    if (!error.isEmpty()) {
        const QByteArray usage = QByteArray(kUsage) + zx::kStartFilesUsage;
        return zx::RefuseCommandLine("zephranox", error, usage.constData());
    }

    QSettings settings;
    zx::QtPlatform platform;
    zx::Application app(platform.platform(), &settings);
    platform.dialogs.setParent(&app.window);
    app.Start();
    zx::LoadStartFiles(*files, app.measurements);
    return qapp.exec();
}
