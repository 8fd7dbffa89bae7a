#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "app/application.h"
#include "ui/preset_area.h"
#include "window_doubles/test_platform.h"

using namespace zx;

namespace {

// The program with its settings in a file of the test's own; held: the files it reloads at
// start wait on the worker until the test lets them go.
struct ProgramRun {
    explicit ProgramRun(const QString& ini, bool held = false)
        : settings(ini, QSettings::IniFormat), app(tp.platform(), &settings) {
        tp.ports.setEntries({QStringLiteral("COM1"), QStringLiteral("COM3")});
        if (held) tp.work.hold();
        app.Start();
    }
    QSettings settings;
    TestPlatform tp;
    Application app;
};

} // namespace

TEST(RememberedSettingsTest, nextStart_reloadsFilesStillThere_selectsThePort_offersTheFolders) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    const QString room = QStringLiteral(ZX_MEASUREMENTS_DIR "/room.frd");
    QDir(dir.path()).mkpath(QStringLiteral("presets"));
    const QString kept = dir.filePath(QStringLiteral("kept.frd"));
    const QString gone = dir.filePath(QStringLiteral("gone.frd"));
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    ASSERT_TRUE(QFile::copy(room, kept) && QFile::copy(room, gone));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("20 2\n20000 -2\n");
    }
    {
        ProgramRun first(ini);
        first.app.measurements.loadMeasurement(2, kept);
        first.app.measurements.loadTarget(2, target);
        first.app.measurements.loadMeasurement(3, gone);
        const ChannelMeasurements& loaded = first.app.measurements.measurements();
        ASSERT_TRUE(loaded.has(2) && loaded.target(2) && loaded.has(3));
        first.tp.dialogs.answerSave(dir.filePath(QStringLiteral("presets/p.txt")));
        first.app.window.presetArea()->pcStoreButton()->click();
        first.app.window.portSelector()->setCurrentIndex(1);
        first.app.window.connectButton()->click();
        first.tp.advance(3000);
    }
    ASSERT_TRUE(QFile::remove(gone));

    ProgramRun next(ini, true);
    EXPECT_EQ(next.app.window.portSelector()->currentText(), QStringLiteral("COM3"));
    const ChannelMeasurements& m = next.app.measurements.measurements();
    // The window is up while the remembered files are still being read.
    EXPECT_TRUE(next.app.window.isVisible());
    EXPECT_TRUE(next.app.measurements.reading(2));
    EXPECT_FALSE(m.has(2));
    next.tp.work.release();
    ASSERT_TRUE(m.has(2));
    EXPECT_EQ(m.measurement(2)->path, kept);
    ASSERT_TRUE(m.target(2));
    EXPECT_EQ(m.target(2)->path, target);
    EXPECT_FALSE(m.has(3)); // dropped quietly, and forgotten
    EXPECT_TRUE(next.tp.dialogs.messages().isEmpty());
    EXPECT_FALSE(next.app.remembered.measurement(3));

    next.app.window.presetArea()->pcLoadButton()->click();
    ASSERT_FALSE(next.tp.dialogs.shown().empty());
    EXPECT_TRUE(next.tp.dialogs.shown().back().defaultName.startsWith(
        dir.filePath(QStringLiteral("presets"))));
    next.app.editor.showChannel(2);
    next.app.measurements.loadAction()->trigger();
    EXPECT_EQ(next.tp.dialogs.shown().back().defaultName, dir.path());
}

// A port is remembered once its device has answered the whole connect, never when the
// attempt failed.
TEST(RememberedSettingsTest, aPortIsRememberedOnlyAfterItsHandshake) {
    for (bool answers : {false, true}) {
        SCOPED_TRACE(answers ? "answers" : "silent");
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("settings.ini"));
        ProgramRun run(ini);
        run.tp.sim.faults.silent = !answers;
        run.app.window.connectButton()->click();
        run.tp.advance(3000);
        EXPECT_EQ(run.app.remembered.lastPort(), answers ? QStringLiteral("COM3") : QString());
    }
}
