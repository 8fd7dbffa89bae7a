#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

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

CtlRun Ctl(const QStringList& args) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(ZX_CTL_PATH), args);
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

} // namespace
} // namespace zx
