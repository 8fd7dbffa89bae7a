// zephranox-ctl: the program's link without a window, for setting up and backing up
// amplifiers from scripts. See kCtlUsageText for the commands.
#include <QCoreApplication>
#include <QTextStream>

#include "headless/ctl_commands.h"
#include "headless/ctl_fleet.h"
#include "platform/command_line.h"

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
    return zx::ToolMain(argc, argv, "zephranox-ctl", [](const QCoreApplication& app) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return Run(app, out, err);
    });
}
