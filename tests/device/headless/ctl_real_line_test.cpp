#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "headless/settings_report.h"
#include "model/preset_image.h"
#include "support/pty_server.h"
#include "support/tool_process.h"

namespace zx {
namespace {

ToolRun Ctl(const QStringList& args, const Prepare& prepare = {}) {
    return RunTool(QStringLiteral(ZX_CTL_PATH), args, {}, prepare);
}

// The built program over a pseudo-terminal, in real time, against the simulated amplifier.
TEST(CtlRealLine, loadVerifyThenDumpHoldsTheLoadedSettings) {
    SimAmplifier sim;
    PtyServer server(sim);
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    const QString port = server.ports().deviceName(1);

    QTemporaryDir dir;
    ParameterModel m;
    m.channels[0].delaySteps = 480;
    RefreshHalves(m.channels[0]);
    m.output(3).routeSource = 2;
    m.bands[BandId(2, 3)].freqIndex = 99;
    const QString file = dir.filePath("show.preset");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteImageText(m).toLatin1() + "\r\n");
    f.close();

    const ToolRun load = Ctl({"--port", port, "load", file, "--verify"});
    EXPECT_EQ(load.exitCode, 0) << load.err.toStdString();
    // The handshake, the block write, the 6 s wait and the read-back.
    EXPECT_GE(load.ms, 7000);
    EXPECT_LE(load.ms, 11000);

    const QString back = dir.filePath("back.preset");
    const ToolRun dump = Ctl({"--port", port, "dump", "-o", back});
    EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    server.stop();

    QFile b(back);
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray text = b.readAll();
    EXPECT_TRUE(text.endsWith("\r\n"));
    ParameterModel dumped;
    ASSERT_TRUE(ReadImageText(QString::fromLatin1(text), dumped));
    EXPECT_EQ(SettingsDifferences(m, dumped), QStringList());
}

// What cannot be written, read or named fails with status 1 and says why on standard error;
// an old file stays as it was.
TEST(CtlRealLine, failuresOfFilesAndStandardOutputEndWithStatus1) {
    SimAmplifier sim;
    PtyServer server(sim);
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    const QString port = server.ports().deviceName(1);
    QTemporaryDir dir;
    const QString backup = dir.filePath("backup.preset");
    QFile old(backup);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("A good backup\r\n");
    old.close();
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        const char* name;
        QStringList args;
        Prepare prepare;
        const char* message;
    };
    const Case cases[] = {
        {"dump to a full disk", {"dump"}, ToFullDisk, "standard output"},
        {"show to a full disk", {"show"}, ToFullDisk, "standard output"},
        {"names to a full disk", {"names"}, ToFullDisk, "standard output"},
        {"dump -o past the file-size limit",
         {"dump", "-o", backup},
         FileSizeLimit(600),
         "Cannot save file."},
        {"load of a FIFO", {"load", fifo}, {}, "Cannot open file."},
        {"dump -o a name that is not UTF-8",
         {},
         WithNameNotUtf8(dir.path(), "--port " + port + " dump -o \"$N\""),
         "not valid UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r =
            Ctl(c.args.isEmpty() ? c.args : QStringList{"--port", port} + c.args, c.prepare);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
    }
    server.stop();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "A good backup\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{"backup.preset", "fifo"}));
}

} // namespace
} // namespace zx
