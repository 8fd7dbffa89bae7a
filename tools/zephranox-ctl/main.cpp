// zephranox-ctl: the program's link without a window, for setting up and backing up
// amplifiers from scripts. See kCtlUsageText for the commands.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

#include "headless/ctl_commands.h"
#include "headless/link_session.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/qt_platform.h"

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

    // A path names its device directly; any other name is an entry of the port list the
    // window shows.
    std::unique_ptr<zx::PortList> ports;
    if (command.kind != zx::CtlCommand::Kind::ListPorts && command.port.contains(u'/'))
        ports = std::make_unique<zx::DevicePathPortList>(command.port);
    else
        ports = std::make_unique<zx::SystemPortList>();

    zx::QtTimerHub timers;
    zx::QtClock clock;
    zx::QtSerialDevice serial;
    zx::LinkSession session(timers, clock, serial, *ports);
    return zx::RunCtl(session, command, out, err);
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
