#include <gtest/gtest.h>

#include <QProcessEnvironment>

#include "support/tool_process.h"

namespace zx {
namespace {

// The window program as a user starts it on a machine without a display: no DISPLAY, no
// WAYLAND_DISPLAY, no QT_QPA_PLATFORM. What ends before the window must end without one.
void WithoutDisplay(QProcess& p) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
}

struct LineCase {
    QStringList args;
    int status;
    QString out; // the start of standard output
    QString err; // a part of standard error
};

TEST(ProgramCommandLine, helpVersionAndWrongLinesEndWithoutADisplay) {
    const QString usage = QStringLiteral("usage: zephranox [--port PORT]");
    const std::vector<LineCase> table = {
        {{"--help"}, 0, usage, {}},
        {{"-h"}, 0, usage, {}},
        {{"--port", "/tmp/x", "--help"}, 0, usage, {}},
        {{"--version"}, 0, QStringLiteral("zephranox " ZX_VERSION "\n"), {}},
        {{"--bogus"}, 2, {}, usage},
        {{"--help", "--bogus"}, 2, {}, usage},
        {{"--port"}, 2, {}, QStringLiteral("zephranox: ")},
        {{"--port", ""}, 2, {}, QStringLiteral("--port needs a port")},
        {{"COM3"}, 2, {}, QStringLiteral("unknown argument COM3")},
    };
    for (const LineCase& c : table) {
        const std::string name = c.args.join(' ').toStdString();
        const ToolRun run = RunTool(QStringLiteral(ZX_WINDOW_PROGRAM), c.args, {}, WithoutDisplay);
        EXPECT_EQ(run.exitCode, c.status) << name << ": " << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.out).startsWith(c.out)) << name;
        if (c.status == 0) {
            EXPECT_TRUE(run.err.isEmpty()) << name << ": " << run.err.toStdString();
        }
        EXPECT_TRUE(run.err.contains(c.err)) << name << ": " << run.err.toStdString();
    }
}

TEST(ProgramCommandLine, theUsageNamesTheManualPagesOfEveryInstalledProgram) {
    const ToolRun run =
        RunTool(QStringLiteral(ZX_WINDOW_PROGRAM), {QStringLiteral("--help")}, {}, WithoutDisplay);
    for (const QString& program : QStringLiteral(ZX_INSTALLED_PROGRAMS).split(u','))
        EXPECT_TRUE(run.out.contains((program + QStringLiteral("(1)")).toUtf8()))
            << program.toStdString();
}

} // namespace
} // namespace zx
