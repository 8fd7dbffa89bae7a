#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "headless/settings_report.h"
#include "model/preset_image.h"
#include "support/pty_server.h"

namespace zx {
namespace {

struct CtlRun {
    int status = -1;
    qint64 ms = 0;
    QString err;
};

CtlRun Ctl(const QStringList& args, const std::function<void(QProcess&)>& setUp = {}) {
    QProcess p;
    p.setProgram(QStringLiteral(ZX_CTL_PATH));
    p.setArguments(args);
    if (setUp) setUp(p);
    QElapsedTimer t;
    t.start();
    p.start();
    CtlRun r;
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
    r.ms = t.elapsed();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
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

    const CtlRun load = Ctl({"--port", port, "load", file, "--verify"});
    EXPECT_EQ(load.status, 0) << load.err.toStdString();
    // The handshake, the block write, the 6 s wait and the read-back.
    EXPECT_GE(load.ms, 7000);
    EXPECT_LE(load.ms, 11000);

    const QString back = dir.filePath("back.preset");
    const CtlRun dump = Ctl({"--port", port, "dump", "-o", back});
    EXPECT_EQ(dump.status, 0) << dump.err.toStdString();
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

    const auto toFull = [](QProcess& p) { p.setStandardOutputFile("/dev/full"); };
    const auto sizeLimit = [](QProcess& p) {
        p.setChildProcessModifier([] {
            rlimit r{};
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = 600;
            setrlimit(RLIMIT_FSIZE, &r);
            std::signal(SIGXFSZ, SIG_DFL);
        });
    };
    // A name that is not UTF-8 reaches the program only through a shell.
    const auto latin1Name = [&](QProcess& p) {
        p.setProgram("/bin/sh");
        p.setArguments({"-c", "exec \"$0\" --port \"$1\" dump -o \"$(printf '%s/\\377' \"$2\")\"",
                        ZX_CTL_PATH, port, dir.path()});
    };
    struct Case {
        const char* name;
        QStringList args;
        std::function<void(QProcess&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"dump to a full disk", {"dump"}, toFull, "standard output"},
        {"show to a full disk", {"show"}, toFull, "standard output"},
        {"names to a full disk", {"names"}, toFull, "standard output"},
        {"dump -o past the file-size limit",
         {"dump", "-o", backup},
         sizeLimit,
         "Cannot save file."},
        {"load of a FIFO", {"load", fifo}, {}, "Cannot open file."},
        {"dump -o a name that is not UTF-8", {}, latin1Name, "not valid UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CtlRun r = Ctl(QStringList{"--port", port} + c.args, c.setUp);
        EXPECT_EQ(r.status, 1) << r.err.toStdString();
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
