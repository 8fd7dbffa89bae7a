#include "app/program_arguments.h"

#include <QCommandLineParser>

#include "platform/command_line.h"

namespace zx {
namespace {

const char kUsage[] =
    "usage: zephranox [--port PORT] [--measurement CHANNEL=FILE ...] [--target FILE|flat]\n"
    "The control program for the amplifier's signal processor: choose the serial port and\n"
    "press the button beside it, which names the link's state (\"Disconnect\" until the link\n"
    "is up, then \"Connect\"), and edit the settings live.\n"
    "  --port PORT   the port chosen at start: an entry of the port list (ttyUSB0, COM3),\n"
    "                a device path (the link amp-sim --link PATH made), or a network port\n"
    "                tcp://HOST:PORT or rfc2217://HOST:PORT\n"
    "  -h, --help    print this and end\n"
    "  --version     print the version and end\n"
    "%1"
    "Manual pages: zephranox(1), amp-sim(1), zephranox-ctl(1), zephranox-preset(1),\n"
    "zephranox-response(1).\n";

} // namespace

ProgramArguments ReadProgramArguments(const QStringList& args) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    parser.addOption(QCommandLineOption(QStringLiteral("port"), {}, QStringLiteral("PORT")));
    AddStartFileOptions(parser);
    const ToolArguments read = ReadToolArguments(parser, args);
    QString wrong = read.error;
    if (wrong.isEmpty() && !parser.positionalArguments().isEmpty())
        wrong =
            QStringLiteral("unknown argument %1").arg(parser.positionalArguments().constFirst());
    if (wrong.isEmpty() && parser.isSet(QStringLiteral("port")) &&
        parser.value(QStringLiteral("port")).isEmpty())
        wrong = QStringLiteral("--port needs a port");
    ProgramArguments out;
    if (wrong.isEmpty() && !read.help) {
        if (auto files = ReadStartFiles(parser, wrong)) out.files = std::move(*files);
    }
    const QString usage = QString::fromLatin1(kUsage).arg(QLatin1String(kStartFilesUsage));
    if (!wrong.isEmpty()) {
        out.exitStatus = kWrongCommandLine;
        out.error = QStringLiteral("zephranox: %1\n").arg(wrong) + usage;
    } else if (read.help) {
        out.exitStatus = 0;
        out.output = usage;
    } else if (parser.isSet(QStringLiteral("version"))) {
        out.exitStatus = 0;
        out.output = QStringLiteral("zephranox " ZEPHRANOX_VERSION "\n");
    }
    out.port = parser.value(QStringLiteral("port"));
    return out;
}

} // namespace zx
