#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "headless/ctl_commands.h"
#include "headless/link_session.h"
#include "link/frame.h"
#include "model/preset_image.h"
#include "model/value_scales.h"
#include "window_doubles/test_platform.h"

namespace zx {
namespace {

// The control program's logic on the virtual clock against the simulated amplifier on COM3.
class CtlTest : public ::testing::Test {
  protected:
    CtlTest() : session(tp.clock, tp.clock, tp.serial, tp.ports) {}

    int run(const QStringList& args) {
        const CtlParse parse = ParseCtlArgs(QStringList{"--port", "COM3"} + args);
        if (!parse.command) return kCtlUsage;
        QTextStream o(&out), e(&err);
        return RunCtl(session, *parse.command, o, e);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void write(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A preset file as the window saves it with the link down, with a few settings changed.
    QString presetFile() {
        ParameterModel m;
        m.channels[2].gainIndex = 77;
        m.channels[3].mute = 1;
        m.output(4).limiterAttackIndex = 12;
        m.bands[BandId(5, 7)].qIndex = 30;
        const QString file = path("show.preset");
        write(file, WriteImageText(m).toLatin1() + "\r\n");
        return file;
    }
    bool sentBlockWrite() const {
        for (const QByteArray& f : tp.sim.framesFromPc())
            if (f.startsWith(BlockWriteHeader())) return true;
        return false;
    }

    TestPlatform tp;
    LinkSession session;
    QTemporaryDir dir;
    QString out, err;
};

TEST(CtlArgs, wrongCommandLinesAreRefused) {
    const QStringList bad[] = {
        {},
        {"dump"},                               // no port
        {"--port", "COM3"},                     // no command
        {"--port", "COM3", "dance"},            // unknown command
        {"--port", "COM3", "dump", "--verify"}, // option of another command
        {"--port", "COM3", "load"},             // no file
        {"--port", "COM3", "recall", "0"},      // slots are 1..20
        {"--port", "COM3", "recall", "21"},
        {"--port", "COM3", "store", "3"}, // no name
        {"--port", "COM3", "store", "3", "A name of twenty chr"},
        {"--list-ports", "names"},
        {"--list-ports", "--json"},
        {"--port"},                                 // no port after it
        {"--port", "COM3", "names", "--force"},     // no such option
        {"--port", "COM3", "show", "--json", "-o"}, // no file after -o
    };
    for (const QStringList& args : bad)
        EXPECT_FALSE(ParseCtlArgs(args).command) << args.join(' ').toStdString();
    // --help wherever it stands, before the command's own checks; not past an unknown option.
    EXPECT_TRUE(ParseCtlArgs({"--port", "COM3", "recall", "99", "-h"}).help);
    const CtlParse unknown = ParseCtlArgs({"--help", "--force"});
    EXPECT_FALSE(unknown.help);
    EXPECT_TRUE(unknown.error.contains("force")) << unknown.error.toStdString();

    const CtlParse store = ParseCtlArgs({"--port", "ttyV0", "store", "20", "  Club 19 chars ok "});
    ASSERT_TRUE(store.command);
    EXPECT_EQ(store.command->slot, 20);
    EXPECT_EQ(store.command->name, "Club 19 chars ok");
    EXPECT_TRUE(ParseCtlArgs({"load", "f", "--verify", "--port", "/dev/pts/3"}).command->verify);
}

TEST_F(CtlTest, dump_writesTheDevicesFrameAsReceivedWithCrLf) {
    QByteArray image = SimAmplifier::DefaultImage();
    image[ChannelBlockOffset(3) + 2] = char(90);
    image.replace(kImageNameOffset, 4, "Rock");
    tp.sim.setLiveImage(image);

    EXPECT_EQ(run({"dump", "-o", path("backup")}), kCtlOk) << err.toStdString();
    EXPECT_EQ(read(path("backup")), SimAmplifier::BlockFrame(0, image).toHex().toUpper() + "\r\n");
    EXPECT_FALSE(session.link.transport.LinkUp);

    out.clear();
    EXPECT_EQ(run({"dump"}), kCtlOk);
    EXPECT_EQ(out.toLatin1(), read(path("backup")));
}

TEST_F(CtlTest, loadVerify_writesTheBlockWaitsSixSecondsAndReadsItBack) {
    const QString file = presetFile();
    EXPECT_EQ(run({"load", file, "--verify"}), kCtlOk) << err.toStdString();
    // Handshake, the block's header and body, the 6 s run, the read-back.
    EXPECT_GT(tp.clock.nowUs() / 1000, 7000);
    EXPECT_LT(tp.clock.nowUs() / 1000, 9000);
    ParameterModel expected;
    ReadImageText(QString::fromLatin1(read(file)), expected);
    EXPECT_EQ(tp.sim.liveImage(), ImageBytes(expected));
    // The device received a correct checksum although the file holds 00.
    EXPECT_EQ(tp.sim.damagedFrames(), 0);

    EXPECT_EQ(run({"dump", "-o", path("back")}), kCtlOk);
    ParameterModel dumped;
    ASSERT_TRUE(ReadImageText(QString::fromLatin1(read(path("back"))), dumped));
    EXPECT_EQ(dumped, expected);
}

TEST_F(CtlTest, loadVerify_aByteTheDeviceKeptWrongEndsWithStatus4) {
    tp.sim.faults.wrongBlockByte = ChannelBlockOffset(2) + 2; // Out left's gain
    EXPECT_EQ(run({"load", presetFile(), "--verify"}), kCtlDiffers);
    EXPECT_TRUE(err.contains("Out left channel settings")) << err.toStdString();
    EXPECT_FALSE(err.contains("band")) << err.toStdString();
}

// The file is checked before the port opens: a bad one fails at once, with nothing sent.
TEST_F(CtlTest, aFileThatCannotBeUsedFailsBeforeThePortOpens) {
    write(path("spaced.preset"), WriteImageText(ParameterModel{}).toLatin1() + " \r\n");
    QDir(dir.path()).mkdir("folder");
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"load", path("spaced.preset"), "--verify"}, "File damaged."},
        {{"load", path("missing.preset")}, "Cannot open file."},
        {{"load", path("folder")}, "Cannot open file."},
        {{"dump", "-o", path("folder")}, "Cannot save file."},
        {{"dump", "-o", path("no/such/folder")}, "Cannot save file."},
    };
    for (const Case& c : cases) {
        err.clear();
        EXPECT_EQ(run(c.args), kCtlFailed) << c.args.join(' ').toStdString();
        EXPECT_TRUE(err.endsWith(QString::fromLatin1(c.message) + "\n")) << err.toStdString();
    }
    EXPECT_EQ(tp.serial.openCount(), 0);
    EXPECT_TRUE(tp.sim.framesFromPc().empty());
    EXPECT_FALSE(QFile::exists(path("no/such/folder")));
}

TEST_F(CtlTest, failures_sayWhatHappenedAndEndWithStatus1) {
    struct Case {
        const char* name;
        QStringList args;
        void (*fault)(TestPlatform&);
        const char* message;
    };
    const Case cases[] = {
        {"no such port",
         {"show"},
         [](TestPlatform& t) { t.ports.setEntries({"COM9"}); },
         "No port or in use."},
        {"silent device",
         {"names"},
         [](TestPlatform& t) { t.sim.faults.silent = true; },
         "overtime,please try again."},
        {"no names",
         {"show"},
         [](TestPlatform& t) { t.sim.faults.noNames = true; },
         "overtime,please try again."},
        {"recall unanswered",
         {"recall", "4"},
         [](TestPlatform& t) { t.sim.faults.ignoreRecalls = true; },
         "overtime\uFF0Ctry again."},
        {"load of a missing file",
         {"load", "/nonexistent/x.preset"},
         [](TestPlatform&) {},
         "Cannot open file."},
    };
    for (const Case& c : cases) {
        TestPlatform t;
        c.fault(t);
        LinkSession s(t.clock, t.clock, t.serial, t.ports);
        QString o, e;
        QTextStream os(&o), es(&e);
        const auto parse = ParseCtlArgs(QStringList{"--port", "COM3"} + c.args);
        ASSERT_TRUE(parse.command) << c.name;
        EXPECT_EQ(RunCtl(s, *parse.command, os, es), kCtlFailed) << c.name;
        EXPECT_TRUE(e.startsWith("zephranox-ctl: ")) << c.name;
        EXPECT_TRUE(e.trimmed().endsWith(QString::fromUtf8(c.message)))
            << c.name << e.toStdString();
        EXPECT_FALSE(s.link.transport.LinkUp) << c.name;
    }
}

TEST_F(CtlTest, recall_timesOutAfter13Seconds) {
    tp.sim.faults.ignoreRecalls = true;
    ASSERT_TRUE(session.Connect("COM3"));
    const std::int64_t start = tp.clock.nowUs();
    EXPECT_EQ(run({"recall", "2"}), kCtlFailed);
    // 13 s from the recall's start, then the disconnect's 50 ms; no second handshake.
    EXPECT_NEAR((tp.clock.nowUs() - start) / 1000.0, 13050, 60);
}

TEST_F(CtlTest, names_listsTheTwentySlotsOneALine) {
    tp.sim.setSlot(3, SimAmplifier::DefaultImage(), "Rock");
    tp.sim.setSlot(12, SimAmplifier::DefaultImage(), "Hall B");
    EXPECT_EQ(run({"names"}), kCtlOk);
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[0], "Usr1:");
    EXPECT_EQ(lines[2], "Usr3:Rock");
    EXPECT_EQ(lines[11], "Pre2:Hall B");
    EXPECT_EQ(lines[19], "Pre10:");
}

TEST_F(CtlTest, storeThenRecall_anySlotAsTheWindowDoes) {
    QByteArray image = SimAmplifier::DefaultImage();
    image[ChannelBlockOffset(0) + 2] = char(100);
    tp.sim.setLiveImage(image);
    EXPECT_EQ(run({"store", "17", "Club"}), kCtlOk) << err.toStdString();
    EXPECT_EQ(tp.sim.slotName(17).left(5), QByteArray("Club\0", 5));
    EXPECT_EQ(tp.sim.lastRecalled(), 17);
    const auto frames = tp.sim.framesFromPc();
    const auto store =
        std::find(frames.begin(), frames.end(), StoreNameFrame(17, QStringView(u"Club")));
    ASSERT_NE(store, frames.end());
    EXPECT_NE(std::find(store, frames.end(), RecallRequest(17)), frames.end());

    tp.sim.setLiveImage(SimAmplifier::DefaultImage());
    EXPECT_EQ(run({"recall", "17"}), kCtlOk);
    EXPECT_EQ(session.model.channels[0].gainIndex, 100);
    EXPECT_EQ(session.presetView.activeName, "Club");
}

TEST_F(CtlTest, show_readableAndJson) {
    QByteArray image = SimAmplifier::DefaultImage();
    image[ChannelBlockOffset(4) + 2] = char(60);
    tp.sim.setLiveImage(image);
    EXPECT_EQ(run({"show"}), kCtlOk);
    EXPECT_TRUE(out.contains("Out sub\n  gain " + FormatGainDb(ChannelGainAt(60))))
        << out.toStdString();
    EXPECT_EQ(out.count("  band "), 48);

    out.clear();
    EXPECT_EQ(run({"show", "--json"}), kCtlOk);
    const QJsonArray channels = QJsonDocument::fromJson(out.toUtf8())["channels"].toArray();
    ASSERT_EQ(channels.size(), 6);
    EXPECT_EQ(channels[4]["name"].toString(), "out_sub");
    EXPECT_DOUBLE_EQ(channels[4]["gain_db"].toDouble(), ChannelGainAt(60));
    EXPECT_EQ(channels[4]["bands"].toArray().size(), 8);
    EXPECT_FALSE(channels[0].toObject().contains("limiter"));
}

// A device or line that loses or damages what the tool depends on ends the command with its
// status and leaves no file behind, and what the device holds is never taken for success.
TEST_F(CtlTest, lostOrDamagedFramesEndWithTheirStatusAndNoFile) {
    struct Case {
        const char* name;
        QStringList args;
        void (*fault)(SimFaults&);
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"store frame lost",
         {"store", "3", "Club"},
         [](SimFaults& f) { f.storeFrameLost = true; },
         kCtlFailed,
         "overtime\uFF0Ctry again."},
        {"every block damaged",
         {"dump", "-o", "OUT"},
         [](SimFaults& f) { f.damagedBlocks = 2; },
         kCtlFailed,
         "overtime\uFF0Ctry again."},
        {"one block damaged, asked again",
         {"dump", "-o", "OUT"},
         [](SimFaults& f) { f.damagedBlocks = 1; },
         kCtlOk,
         ""},
        // Neither acknowledged nor read back as written.
        {"block write lost",
         {"load", "FILE"},
         [](SimFaults& f) { f.blockWriteLost = true; },
         kCtlFailed,
         "overtime\uFF0Ctry again."},
        {"cable off as the block write starts",
         {"load", "FILE"},
         [](SimFaults& f) { f.cableOffAtBlockWrite = true; },
         kCtlFailed,
         "overtime\uFF0Ctry again."},
        // A device that takes blocks without acknowledging them: the read-back matches.
        {"block taken without an acknowledgement",
         {"load", "FILE"},
         [](SimFaults& f) { f.noAcks = true; },
         kCtlOk,
         ""},
        // Out left's gain at its highest step, kept one above it: the reader clamps it back.
        {"a value the device holds out of range",
         {"load", "FILE", "--verify"},
         [](SimFaults& f) { f.wrongBlockByte = ChannelBlockOffset(2) + 2; },
         kCtlDiffers,
         "image byte 162"},
    };
    ParameterModel m;
    m.channels[2].gainIndex = 240;
    const QString file = path("top.preset");
    write(file, WriteImageText(m).toLatin1() + "\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPlatform t;
        const QByteArray slotBefore = t.sim.slotImage(3);
        LinkSession s(t.clock, t.clock, t.serial, t.ports);
        ASSERT_TRUE(s.Connect(QStringLiteral("COM3")));
        c.fault(t.sim.faults);
        QString o, e;
        QTextStream os(&o), es(&e);
        const QString outFile = path("out.preset");
        QFile::remove(outFile);
        QStringList args = c.args;
        args.replaceInStrings(QStringLiteral("OUT"), outFile);
        args.replaceInStrings(QStringLiteral("FILE"), file);
        const auto parse = ParseCtlArgs(QStringList{"--port", "COM3"} + args);
        ASSERT_TRUE(parse.command);
        EXPECT_EQ(RunCtl(s, *parse.command, os, es), c.status) << e.toStdString();
        if (*c.message == '\0')
            EXPECT_TRUE(e.isEmpty()) << e.toStdString();
        else
            EXPECT_TRUE(e.trimmed().endsWith(QString::fromUtf8(c.message))) << e.toStdString();
        if (c.status == kCtlOk && c.args.contains(QStringLiteral("OUT"))) {
            const QByteArray frame = SimAmplifier::BlockFrame(0, t.sim.liveImage());
            EXPECT_EQ(read(outFile), frame.toHex().toUpper() + "\r\n");
        } else {
            EXPECT_FALSE(QFile::exists(outFile));
        }
        // A store the device never took recalls nothing: the slot and the live settings stay.
        EXPECT_EQ(t.sim.slotImage(3), slotBefore);
        for (const QByteArray& f : t.sim.framesFromPc()) EXPECT_NE(f, RecallRequest(3));
    }
}

} // namespace
} // namespace zx
