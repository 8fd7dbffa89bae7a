#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sys/resource.h>

#include "app/app_fixture.h"
#include "model/preset_image.h"
#include "support/file_bytes.h"
#include "ui/preset_area.h"

namespace zx {
namespace {

// A model unlike the defaults in every part a file carries.
void Edit(ParameterModel& m) {
    m.channels[0].mute = 1;
    m.channels[3].polarity = 1;
    m.bands[9].freqIndex = 77;
    m.bands[9].peakGainIndex = 12;
    RefreshHalves(m.bands[9]);
}

class PresetFilesTest : public AppTest {
  protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    PresetArea* area() { return app.window.presetArea(); }
    bool loadDone() {
        return !app.window.progressBox()->isVisible() && app.window.topBar()->isEnabled() &&
               tp.clock.isActive(TimerId::Timer1);
    }
    QTemporaryDir dir;
};

TEST_F(PresetFilesTest, linkUpSaveWritesTheDevicesFrameAsItArrivedOrTimesOut) {
    const QByteArray image(552, '\x01');
    const QByteArray frameLine = SimAmplifier::BlockFrame(0, image).toHex().toUpper() + "\r\n";
    struct Case {
        bool silent;
        QByteArray file;
        QStringList messages;
    };
    const Case cases[] = {{false, frameLine, {}},
                          {true, {}, {QStringLiteral("overtime\uFF0Ctry again.")}}};
    connectAndWait();
    const QString model = WriteImageText(app.model);
    for (const Case& c : cases) {
        tp.sim.setLiveImage(image); // saved, never applied
        tp.sim.faults.silent = c.silent;
        const QString file = path(c.silent ? "silent" : "answered");
        tp.dialogs.answerSave(file);
        area()->pcStoreButton()->click();
        tp.advance(3100);
        EXPECT_EQ(ReadAll(file), c.file);
        EXPECT_EQ(tp.dialogs.messages(), c.messages);
        EXPECT_EQ(WriteImageText(app.model), model);
        EXPECT_FALSE(app.link.presetFiles.SavePending);
        EXPECT_TRUE(tp.clock.isActive(TimerId::Timer1) && tp.clock.isActive(TimerId::sendTimer));
    }
}

TEST_F(PresetFilesTest, aFileSavedOffLineIsExactAndLoadsIntoTheDeviceWithItsOwnChecksum) {
    Edit(app.model);
    const QByteArray expected = ImageBytes(app.model);
    tp.dialogs.answerSave(path("roundtrip"));
    area()->pcStoreButton()->click();
    const QByteArray file = ReadAll(path("roundtrip"));
    EXPECT_EQ(file, "A5A5A500520028000228" + expected.toHex().toUpper() + "00AA\r\n");
    EXPECT_EQ(tp.dialogs.shown().back().text, "ZEPHRANOX FILE");
    EXPECT_EQ(tp.dialogs.shown().back().defaultName, "ZEPHRANOX");
    app.model.ResetToDefaults();

    connectAndWait();
    ASSERT_NE(tp.sim.liveImage(), expected);
    tp.dialogs.answerOpen(path("roundtrip"));
    const double start = nowMs();
    area()->pcLoadButton()->click();
    EXPECT_TRUE(app.window.progressBox()->isVisible());
    EXPECT_FALSE(app.window.signalFlowPanel()->isEnabled());
    ASSERT_TRUE(tp.runUntil([this] { return loadDone(); }, 7000));
    // Twenty 300 ms ticks; the block's 554 bytes hold the window thread past one of them.
    EXPECT_GE(nowMs() - start, 6000);
    EXPECT_LE(nowMs() - start, 6300);
    EXPECT_EQ(tp.sim.damagedFrames(), 0);
    EXPECT_EQ(tp.sim.liveImage(), expected);
    EXPECT_EQ(ImageBytes(app.model), expected);
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}

TEST_F(PresetFilesTest, offLineLoadChangesModelAndScreenAndSendsNothing) {
    ParameterModel m;
    Edit(m);
    m.imageName = QStringLiteral("Hall"); // in the file, though the writer leaves it out
    QByteArray text = WriteImageText(m).toLatin1();
    text.replace(20 + 2 * kImageNameOffset, 8, "48616C6C");
    WriteAll(path("offline"), text.toLower() + "\r\n");
    tp.dialogs.answerOpen(path("offline"));
    area()->pcLoadButton()->click();
    EXPECT_EQ(ImageBytes(app.model), ImageBytes(m));
    EXPECT_EQ(area()->activePresetField()->text(), QStringLiteral("Hall"));
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_TRUE(tp.serial.writes().empty());
}

TEST_F(PresetFilesTest, unusableFilesChangeNothingAndPollingResumes) {
    WriteAll(path("short"), "A5A5A5\r\n");
    const std::pair<QString, const char*> cases[] = {{path("short"), "File damaged."},
                                                     {path("missing"), "Cannot open file."}};
    connectAndWait();
    const QString before = WriteImageText(app.model);
    for (const auto& [file, message] : cases) {
        tp.dialogs.clear();
        const std::size_t sent = pcFrames().size();
        tp.dialogs.answerOpen(file);
        area()->pcLoadButton()->click();
        EXPECT_EQ(tp.dialogs.messages(), QStringList{QString::fromLatin1(message)});
        EXPECT_EQ(WriteImageText(app.model), before);
        tp.advance(600); // polling again, and nothing else
        EXPECT_GT(pcFrames().size(), sent);
        for (std::size_t i = sent; i < pcFrames().size(); ++i)
            EXPECT_EQ(pcFrames()[i], PollRequest());
    }
}

TEST_F(PresetFilesTest, aFailedWriteIsReported) {
    tp.dialogs.answerSave(dir.filePath(QStringLiteral("no/such/folder")));
    area()->pcStoreButton()->click();
    EXPECT_EQ(tp.dialogs.messages(), QStringList{QStringLiteral("Cannot save file.")});
}

// A save that cannot finish (here: past the file-size limit) leaves the old file as it was.
TEST_F(PresetFilesTest, aSaveThatCannotFinishKeepsTheOldFile) {
    WriteAll(path("good.preset"), "A good preset file\r\n");
    tp.dialogs.answerSave(path("good.preset"));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = 600;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    area()->pcStoreButton()->click();
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(tp.dialogs.messages(), QStringList{QStringLiteral("Cannot save file.")});
    EXPECT_EQ(ReadAll(path("good.preset")), "A good preset file\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"good.preset"});
}

} // namespace
} // namespace zx
