#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app/app_fixture.h"
#include "model/preset_image.h"
#include "ui/preset_area.h"

namespace zx {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A model unlike the defaults in every part a file carries.
void Edit(ParameterModel& m) {
    m.channels[0].mute = 1;
    m.channels[3].polarity = 1;
    m.bands[9].freqIndex = 77;
    m.bands[9].peakGainIndex = 12;
    RefreshHalves(m.bands[9]);
}

TEST(PresetFileCheck, joinedLinesOfHexPairsOnly) {
    const QString valid = WriteImageText(ParameterModel{});
    const QByteArray line = valid.toLatin1();
    struct Case {
        const char* name;
        QByteArray contents;
        bool accepted;
    };
    QByteArray nonHexHeader = line, nonHexSum = line, nonHexBody = line;
    nonHexHeader[0] = 'G';
    nonHexSum[1125] = 'x';
    nonHexBody[501] = ' ';
    const Case cases[] = {
        {"one line with CR LF", line + "\r\n", true},
        {"split over lines", line.left(100) + "\r\n" + line.mid(100, 900) + "\n" + line.mid(1000),
         true},
        {"lowercase", line.toLower() + "\r\n", true},
        {"empty", "", false},
        {"1130 characters", line + "00\r\n", false},
        {"1126 characters", line.left(1126) + "\r\n", false},
        {"non-hex in the header", nonHexHeader, false},
        {"non-hex in the checksum", nonHexSum, false},
        {"non-hex in the image", nonHexBody, false},
        {"a line counts with its first 4096 characters", line + QByteArray(5000, ' '), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = PresetFiles::CheckFileText(c.contents);
        EXPECT_EQ(text.has_value(), c.accepted);
        if (text) {
            EXPECT_EQ(text->toUpper(), valid);
        }
    }
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

TEST_F(PresetFilesTest, linkDownSaveIsTheModelWithAFixedHeaderAndZeroChecksum) {
    Edit(app.model);
    tp.dialogs.answerSave(path("down"));
    area()->pcStoreButton()->click();
    const QByteArray file = ReadAll(path("down"));
    ASSERT_EQ(file.size(), 1130);
    EXPECT_TRUE(file.startsWith("A5A5A500520028000228"));
    EXPECT_EQ(file.mid(1124), "00AA\r\n");
    EXPECT_EQ(file.left(1128), file.left(1128).toUpper());
    EXPECT_EQ(file.mid(20, 1104), ImageBytes(app.model).toHex().toUpper());
    EXPECT_EQ(tp.dialogs.shown().back().text, "ZEPHRANOX FILE");
    EXPECT_EQ(tp.dialogs.shown().back().defaultName, "ZEPHRANOX");
    EXPECT_TRUE(tp.serial.writes().empty());
}

TEST_F(PresetFilesTest, linkUpSaveWritesTheDevicesFrameAsItArrived) {
    QByteArray image = SimAmplifier::DefaultImage();
    image[3] = 5;
    tp.sim.setLiveImage(image);
    connectAndWait();
    const ParameterModel before = app.model;
    tp.sim.setLiveImage(QByteArray(552, '\x01')); // the file must hold this, unapplied
    tp.dialogs.answerSave(path("up"));
    area()->pcStoreButton()->click();
    ASSERT_TRUE(tp.runUntil([this] { return QFile::exists(path("up")); }, 2000));
    EXPECT_EQ(ReadAll(path("up")),
              SimAmplifier::BlockFrame(0, QByteArray(552, '\x01')).toHex().toUpper() + "\r\n");
    EXPECT_EQ(WriteImageText(app.model), WriteImageText(before));
    EXPECT_FALSE(app.presetFiles.SavePending);
    EXPECT_TRUE(tp.clock.isActive(TimerId::Timer1));
    EXPECT_TRUE(tp.clock.isActive(TimerId::sendTimer));
}

TEST_F(PresetFilesTest, linkUpSaveWithoutAnAnswerTimesOutAndPollingResumes) {
    connectAndWait();
    tp.sim.faults.silent = true;
    tp.dialogs.answerSave(path("never"));
    area()->pcStoreButton()->click();
    ASSERT_TRUE(waitForMessage(4000));
    EXPECT_EQ(tp.dialogs.messages(), QStringList{QStringLiteral("overtime\uFF0Ctry again.")});
    EXPECT_FALSE(app.presetFiles.SavePending);
    EXPECT_TRUE(tp.clock.isActive(TimerId::Timer1));
    EXPECT_TRUE(tp.clock.isActive(TimerId::sendTimer));
    EXPECT_FALSE(QFile::exists(path("never")));
}

TEST_F(PresetFilesTest, aFileSavedOffLineLoadsIntoTheDeviceWithItsOwnChecksum) {
    Edit(app.model);
    app.model.imageName = QStringLiteral("Stage");
    const QByteArray expected = ImageBytes(app.model);
    tp.dialogs.answerSave(path("roundtrip"));
    area()->pcStoreButton()->click();
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
    EXPECT_EQ(tp.sim.liveImage().left(532), expected.left(532));
    EXPECT_EQ(ImageBytes(app.model).left(532), expected.left(532));
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}

TEST_F(PresetFilesTest, offLineLoadChangesModelAndScreenAndSendsNothing) {
    ParameterModel m;
    Edit(m);
    m.imageName = QStringLiteral("Hall");
    WriteAll(path("offline"), WriteImageText(m).toLatin1().toLower() + "\r\n");
    tp.dialogs.answerOpen(path("offline"));
    area()->pcLoadButton()->click();
    EXPECT_EQ(ImageBytes(app.model), ImageBytes(m).left(532) + QByteArray(20, '\0'));
    EXPECT_FALSE(app.transport.LinkUp);
    EXPECT_TRUE(tp.serial.writes().empty());
    EXPECT_TRUE(app.transport.RxHexBuffer.isEmpty());
}

TEST_F(PresetFilesTest, unusableFilesChangeNothingAndPollingResumes) {
    WriteAll(path("short"), "A5A5A5\r\n");
    struct Case {
        QString open;
        QString message;
    };
    const Case cases[] = {
        {path("short"), QStringLiteral("File damaged.")},
        {path("missing"), QStringLiteral("Cannot open file.")},
        {dir.path(), QStringLiteral("Cannot open file.")}, // a folder reads nothing
    };
    connectAndWait();
    const QString before = WriteImageText(app.model);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open.toStdString());
        tp.dialogs.clear();
        const std::size_t sent = pcFrames().size();
        tp.dialogs.answerOpen(c.open);
        area()->pcLoadButton()->click();
        EXPECT_EQ(tp.dialogs.messages(), QStringList{c.message});
        EXPECT_EQ(WriteImageText(app.model), before);
        EXPECT_TRUE(tp.clock.isActive(TimerId::Timer1));
        tp.advance(600);
        for (std::size_t i = sent; i < pcFrames().size(); ++i)
            EXPECT_EQ(pcFrames()[i], PollRequest());
    }
    tp.dialogs.clear();
    tp.dialogs.answerSave(dir.filePath(QStringLiteral("no/such/folder")));
    tp.sim.faults.silent = false;
    app.connection.OnConnectButton(); // off line: the model's own text
    tp.dialogs.clear();
    tp.dialogs.answerSave(dir.filePath(QStringLiteral("no/such/folder")));
    area()->pcStoreButton()->click();
    EXPECT_EQ(tp.dialogs.messages(), QStringList{QStringLiteral("Cannot save file.")});
}

} // namespace
} // namespace zx
