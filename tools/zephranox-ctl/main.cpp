// zephranox-ctl: the program's link without a window, for setting up and backing up
// amplifiers from scripts. See kCtlUsageText for the commands.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "headless/ctl_commands.h"
#include "headless/ctl_fleet.h"
#include "platform/command_line.h"
#include "platform/file_io.h"

namespace {

int Run(const QCoreApplication& app, QTextStream& out, QTextStream& err) {
    const zx::CtlParse parse = zx::ParseCtlArgs(app.arguments().mid(1));
    if (parse.help) {
        out << zx::kCtlUsageText;
        return zx::kCtlOk;
    }
    if (!parse.command)
        return zx::RefuseCommandLine("zephranox-ctl", parse.error, zx::kCtlUsageText);
    const zx::CtlCommand& command = *parse.command;
    if (zx::RunsOnSeveralPorts(command)) return zx::RunCtlFleet(command, out, err);
    return zx::RunCtlOnPort(command, out, err);
}

} // namespace

int main(int argc, char** argv) {
    // No widget anywhere: the link, the replies and the preset operations run on the bare
    // event loop.
    QCoreApplication app(argc, argv);
    zx::ReportFileSizeLimitAsError();
    if (const auto bad = zx::UnfaithfulArgument(argc, argv)) {
        std::fprintf(stderr, "zephranox-ctl: %s\n",
                     zx::UnfaithfulArgumentText(*bad).toUtf8().constData());
        return zx::kCtlFailed;
    }
    int status = zx::kCtlOk;
    {
        QTextStream out(stdout);
        QTextStream err(stderr);
        status = Run(app, out, err);
        out.flush();
    }
    // What the command printed counts only if it was written: "dump > /dev/full" fails.
    QString error;
    if (!zx::CloseStandardOutput(&error)) {
        std::fprintf(stderr, "zephranox-ctl: standard output: %s\n", error.toUtf8().constData());
        if (status == zx::kCtlOk) status = zx::kCtlFailed;
    }
    return status;
}
