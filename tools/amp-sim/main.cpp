// amp-sim: the simulated amplifier on a virtual serial port, for running the program without
// hardware. It prints the port's path on its first line and runs until interrupted.
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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

// The live image of a preset file, checked as the program checks a file it loads.
bool ReadPresetFile(const QString& path, QByteArray* image) {
    const std::optional<QString> text = zx::ReadPresetFile(path).frameText;
    const std::optional<QByteArray> payload = text ? zx::ImagePayloadOfText(*text) : std::nullopt;
    if (!payload) return false;
    *image = *payload;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (const auto bad = zx::UnfaithfulArgument(argc, argv)) {
        std::fprintf(stderr, "amp-sim: \"%s\" is not valid UTF-8; paths must be\n",
                     bad->toUtf8().constData());
        return 2;
    }
    zx::SimAmplifier sim;
    QString link;
    bool quiet = false, log = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "amp-sim: %s needs a value\n%s", qPrintable(a), kUsage);
                std::exit(2);
            }
            return args[++i];
        };
        if (a == "--link") {
            link = value();
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--log") {
            log = true;
        } else if (a == "--preset") {
            const QString path = value();
            QByteArray image;
            if (!ReadPresetFile(path, &image)) {
                std::fprintf(stderr, "amp-sim: %s is no preset file\n", qPrintable(path));
                return 2;
            }
            sim.setLiveImage(image);
        } else if (a == "--silent") {
            sim.faults.silent = true;
        } else if (a == "--no-names") {
            sim.faults.noNames = true;
        } else if (a == "--garbage-block") {
            sim.faults.garbageBlock = true;
        } else if (a == "--no-acks") {
            sim.faults.noAcks = true;
        } else if (a == "--ignore-recalls") {
            sim.faults.ignoreRecalls = true;
        } else if (a == "--silent-after") {
            bool ok = false;
            const qint64 ms = value().toLongLong(&ok);
            if (!ok || ms < 0) {
                std::fprintf(stderr, "amp-sim: --silent-after needs milliseconds\n");
                return 2;
            }
            sim.faults.silentFromMs = ms;
        } else if (a == "--wrong-block-byte") {
            bool ok = false;
            const int n = value().toInt(&ok);
            if (!ok || n < 0 || n >= zx::SimAmplifier::kImageSize) {
                std::fprintf(stderr, "amp-sim: --wrong-block-byte needs 0..551\n");
                return 2;
            }
            sim.faults.wrongBlockByte = n;
        } else if (a == "--garbage") {
            sim.faults.garbage = true;
        } else if (a == "--bad-block-checksum") {
            sim.faults.badBlockChecksum = true;
        } else if (a == "--truncated-block") {
            sim.faults.truncatedBlock = true;
        } else if (a == "--byte-gap") {
            bool ok = false;
            const int ms = value().toInt(&ok);
            if (!ok || ms < 1 || ms > 60000) {
                std::fprintf(stderr, "amp-sim: --byte-gap needs 1..60000 milliseconds\n");
                return 2;
            }
            sim.faults.byteGapMs = ms;
        } else if (a == "--store-frame-lost") {
            sim.faults.storeFrameLost = true;
        } else if (a == "--block-write-lost") {
            sim.faults.blockWriteLost = true;
        } else if (a == "--damaged-blocks") {
            bool ok = false;
            const int n = value().toInt(&ok);
            if (!ok || n < 0) {
                std::fprintf(stderr, "amp-sim: --damaged-blocks needs a count\n");
                return 2;
            }
            sim.faults.damagedBlocks = n;
        } else if (a == "--cable-off-at-block-write") {
            sim.faults.cableOffAtBlockWrite = true;
        } else if (a == "--recall-report") {
            const QString v = value();
            if (v == "before")
                sim.recallReport = zx::RecallReport::Before;
            else if (v == "after")
                sim.recallReport = zx::RecallReport::After;
            else {
                std::fprintf(stderr, "amp-sim: --recall-report before|after\n");
                return 2;
            }
        } else if (a == "--long-poll") {
            sim.longPollAnswer = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "amp-sim: unknown option %s\n%s", qPrintable(a), kUsage);
            return 2;
        }
    }

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
    if (!quiet)
        std::printf("amp-sim: the simulated amplifier on %s (terminal %s); Ctrl+C ends it\n",
                    qPrintable(pty.linkPath()), qPrintable(pty.terminalPath()));
    // Whoever started it reads the port's path here; without it the simulator is of no use.
    if (std::fflush(stdout) != 0) {
        std::perror("amp-sim: standard output");
        pty.removeLink();
        return 1;
    }
    if (log)
        sim.onFrame = [](const zx::SimAmplifier::FrameRecord& f) {
            std::printf("%9lld ms %s %s\n", static_cast<long long>(f.atMs), f.fromPc ? "<-" : "->",
                        qPrintable(Hex(f.bytes)));
            std::fflush(stdout);
        };

    pty.serve(g_stop);
    pty.removeLink();
    return 0;
}
