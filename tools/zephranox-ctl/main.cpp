// zephranox-ctl: the program's link without a window, for setting up and backing up
// amplifiers from scripts. See kCtlUsageText for the commands.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

#include "headless/ctl_commands.h"
#include "headless/link_session.h"
#include "platform/qt_platform.h"

int main(int argc, char** argv) {
    // No widget anywhere: the link, the replies and the preset operations run on the bare
    // event loop.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const zx::CtlParse parse = zx::ParseCtlArgs(app.arguments().mid(1));
    if (parse.help) {
        out << zx::kCtlUsageText;
        return zx::kCtlOk;
    }
    if (!parse.command) {
        err << "zephranox-ctl: " << parse.error << "\n" << zx::kCtlUsageText;
        return zx::kCtlUsage;
    }
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
