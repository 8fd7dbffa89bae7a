// amp-sim: the simulated amplifier on a virtual serial port, for running the program without
// hardware. It prints the port's path on its first line and runs until interrupted.
#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>

#include "model/preset_image.h"
#include "platform/command_line.h"
#include "presets/preset_file_text.h"
#include "sim/pty_amplifier.h"
#include "sim/sim_amplifier.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop.store(true);
}

const char kUsage[] =
    "usage: amp-sim [options]\n"
    "  --link PATH          the virtual port's path (default: the first free /dev/ttyV<n>)\n"
    "  --quiet              print only the port's path\n"
    "  --log                print every frame received and sent\n"
    "  --preset FILE        a preset file (1128 hex characters) as the live settings\n"
    "  --silent             answer nothing\n"
    "  --no-names           never answer the names request\n"
    "  --garbage-block      answer the block request with bytes that are no block\n"
    "  --no-acks            never acknowledge a write\n"
    "  --ignore-recalls     never answer a recall\n"
    "  --silent-after MS    answer nothing from MS milliseconds after the start\n"
    "  --wrong-block-byte N keep image byte N (0..551) of a block write wrong\n"
    "  --garbage            answer every request with bytes that are no frame\n"
    "  --bad-block-checksum send blocks with a wrong checksum\n"
    "  --truncated-block    send only the first half of every block\n"
    "  --byte-gap MS        send every answer byte by byte, MS milliseconds apart\n"
    "  --store-frame-lost   never receive a store frame (no slot changes, no answer)\n"
    "  --block-write-lost   never receive a block write (nothing changes, no answer)\n"
    "  --damaged-blocks N   change a byte of the next N blocks sent after their checksum\n"
    "  --cable-off-at-block-write  receive and send nothing from a block write's header on\n"
    "  --recall-report before|after  send the last-recalled report with a recall\n"
    "  --long-poll          answer the poll with the 32-byte answer\n";

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The live image of a preset file, checked as the program checks a file it loads; false with
// the reason in `why`.
bool ReadPresetFile(const QString& path, QByteArray* image, QString* why) {
    const zx::PresetFileRead read = zx::ReadPresetFile(path);
    const std::optional<QByteArray> payload =
        read.frameText ? zx::ImagePayloadOfText(*read.frameText) : std::nullopt;
    if (!payload) {
        *why = read.opened ? QStringLiteral("%1 is no preset file: %2").arg(path, read.why)
                           : QStringLiteral("cannot read %1: %2").arg(path, read.why);
        return false;
    }
    *image = *payload;
    return true;
}

// The switches that each turn one fault on.
struct FaultSwitch {
    const char* name;
    bool zx::SimFaults::*fault;
};
constexpr FaultSwitch kFaultSwitches[] = {
    {"silent", &zx::SimFaults::silent},
    {"no-names", &zx::SimFaults::noNames},
    {"garbage-block", &zx::SimFaults::garbageBlock},
    {"no-acks", &zx::SimFaults::noAcks},
    {"ignore-recalls", &zx::SimFaults::ignoreRecalls},
    {"garbage", &zx::SimFaults::garbage},
    {"bad-block-checksum", &zx::SimFaults::badBlockChecksum},
    {"truncated-block", &zx::SimFaults::truncatedBlock},
    {"store-frame-lost", &zx::SimFaults::storeFrameLost},
    {"block-write-lost", &zx::SimFaults::blockWriteLost},
    {"cable-off-at-block-write", &zx::SimFaults::cableOffAtBlockWrite},
};

// Passes the value of `option`, when it was given, to `set`: a whole number in min..max, or
// false with `message` on standard error.
bool SetNumber(const QCommandLineParser& parser, const char* option, qint64 min, qint64 max,
               const char* message, const std::function<void(qint64)>& set) {
    const QString name = QString::fromLatin1(option);
    if (!parser.isSet(name)) return true;
    bool isNumber = false;
    const qint64 n = parser.value(name).toLongLong(&isNumber);
    if (!isNumber || n < min || n > max) {
        std::fprintf(stderr, "amp-sim: %s\n", message);
        return false;
    }
    set(n);
    return true;
}

// Where the port goes and what is printed.
struct Console {
    QString link; // empty: the first free /dev/ttyV<n>
    bool quiet = false;
    bool log = false;
};

// Sets up the simulator and the console as the command line says; the exit status when the
// line asks for the usage or cannot be used.
std::optional<int> SetUp(const QStringList& args, zx::SimAmplifier& sim, Console& console) {
    QCommandLineParser parser;
    for (const FaultSwitch& s : kFaultSwitches)
        parser.addOption(QCommandLineOption(QString::fromLatin1(s.name)));
    for (const char* name : {"quiet", "log", "long-poll"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    for (const char* name : {"link", "preset", "silent-after", "wrong-block-byte", "byte-gap",
                             "damaged-blocks", "recall-report"})
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("VALUE")));
    const zx::ToolArguments read = zx::ReadToolArguments(parser, args);
    if (!read.error.isEmpty()) return zx::RefuseCommandLine("amp-sim", read.error, kUsage);
    if (read.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        return zx::RefuseCommandLine(
            "amp-sim", QStringLiteral("unknown option %1").arg(extra.constFirst()), kUsage);
    }

    console.link = parser.value(QStringLiteral("link"));
    console.quiet = parser.isSet(QStringLiteral("quiet"));
    console.log = parser.isSet(QStringLiteral("log"));
    for (const FaultSwitch& s : kFaultSwitches)
        if (parser.isSet(QString::fromLatin1(s.name))) sim.faults.*s.fault = true;
    sim.longPollAnswer = parser.isSet(QStringLiteral("long-poll"));
    if (parser.isSet(QStringLiteral("preset"))) {
        const QString path = parser.value(QStringLiteral("preset"));
        QByteArray image;
        QString why;
        // A file that cannot be used ends the simulator as it ends every tool: status 1.
        if (!ReadPresetFile(path, &image, &why)) {
            std::fprintf(stderr, "amp-sim: %s\n", qPrintable(why));
            return 1;
        }
        sim.setLiveImage(image);
    }
    zx::SimFaults& f = sim.faults;
    if (!SetNumber(parser, "silent-after", 0, std::numeric_limits<qint64>::max(),
                   "--silent-after needs milliseconds", [&f](qint64 ms) { f.silentFromMs = ms; }) ||
        !SetNumber(parser, "wrong-block-byte", 0, zx::SimAmplifier::kImageSize - 1,
                   "--wrong-block-byte needs 0..551",
                   [&f](qint64 n) { f.wrongBlockByte = static_cast<int>(n); }) ||
        !SetNumber(parser, "byte-gap", 1, 60000, "--byte-gap needs 1..60000 milliseconds",
                   [&f](qint64 ms) { f.byteGapMs = static_cast<int>(ms); }) ||
        !SetNumber(parser, "damaged-blocks", 0, std::numeric_limits<int>::max(),
                   "--damaged-blocks needs a count",
                   [&f](qint64 n) { f.damagedBlocks = static_cast<int>(n); }))
        return zx::kWrongCommandLine;
    if (parser.isSet(QStringLiteral("recall-report"))) {
        const QString v = parser.value(QStringLiteral("recall-report"));
        if (v == QLatin1String("before")) {
            sim.recallReport = zx::RecallReport::Before;
        } else if (v == QLatin1String("after")) {
            sim.recallReport = zx::RecallReport::After;
        } else {
            std::fprintf(stderr, "amp-sim: --recall-report before|after\n");
            return zx::kWrongCommandLine;
        }
    }
    return std::nullopt;
}

int Run(const QCoreApplication& app) {
    zx::SimAmplifier sim;
    Console console;
    if (const auto status = SetUp(app.arguments().mid(1), sim, console)) return *status;
    const QString& link = console.link;

    zx::PtyAmplifier pty(sim);
    QString error;
    if (!pty.open(&error)) {
        std::fprintf(stderr, "amp-sim: %s\n", qPrintable(error));
        return 1;
    }
    // The first free /dev/ttyV<n>; another amp-sim may take the same one at the same moment.
    bool linked = false;
    if (!link.isEmpty())
        linked = pty.createLink(link, &error);
    else
        for (int attempt = 0; attempt < 8 && !linked; ++attempt)
            linked = pty.createLink(zx::PtyAmplifier::FirstFreeLink(), &error);
    if (!linked) {
        std::fprintf(stderr, "amp-sim: %s\n", qPrintable(error));
        if (link.isEmpty())
            std::fprintf(stderr, "amp-sim: /dev needs root; run with sudo or give --link PATH\n");
        return 1;
    }

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &sa, nullptr);

    std::printf("%s\n", qPrintable(pty.linkPath()));
    // Ctrl+C does not reach a background job; its process number does.
    if (!console.quiet)
        std::printf("amp-sim: the simulated amplifier on %s (terminal %s); Ctrl+C or kill %lld "
                    "ends it\n",
                    qPrintable(pty.linkPath()), qPrintable(pty.terminalPath()),
                    static_cast<long long>(QCoreApplication::applicationPid()));
    // Whoever started it reads the port's path here; without it the simulator is of no use.
    if (std::fflush(stdout) != 0) {
        std::perror("amp-sim: standard output");
        pty.removeLink();
        return 1;
    }
    if (console.log)
        sim.onFrame = [](const zx::SimAmplifier::FrameRecord& f) {
            std::printf("%9lld ms %s %s\n", static_cast<long long>(f.atMs), f.fromPc ? "<-" : "->",
                        qPrintable(Hex(f.bytes)));
            std::fflush(stdout);
        };

    pty.serve(g_stop);
    pty.removeLink();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return zx::ToolMain(argc, argv, "amp-sim", Run);
}
