#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "presets/preset_file_text.h"
#include "random_presets.h"
#include "support/file_bytes.h"
#include "support/tool_process.h"

#include <random>

namespace {

using zx::ReadAll;
using zx::RunTool;
using zx::ToolRun;
using zx::WriteAll;

ToolRun Tool(const QStringList& args, const QByteArray& input = {}) {
    return RunTool(QStringLiteral(ZEPHRANOX_PRESET_TOOL), args, input);
}

QString Measurement(const char* file) {
    return QStringLiteral(ZX_MEASUREMENTS_DIR "/") + QLatin1String(file);
}

TEST(PresetFitTool, exitStatusSaysWhatHappened) {
    QTemporaryDir dir;
    const QString pair = dir.filePath("pair.csv"), text = dir.filePath("garbled.txt"),
                  out = dir.filePath("out.preset");
    QByteArray rows = "Frequency,Left (94 dB),Right (94 dB)\n";
    for (int hz = 100; hz <= 9600; hz += hz / 2)
        rows += QByteArray::number(hz) + (hz % 3 ? ",80,81\n" : ",82,79\n");
    WriteAll(pair, rows);
    WriteAll(text, "nothing to see\n");
    const QString room = Measurement("room.frd");
    const QStringList fit = {"fit", "--channel", "out_left", "-o", out};
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        // Without --into the preset silences the amplifier; the tool says so.
        {fit + QStringList{"--measurement", room, "--range", "20-300"}, 0, "routed OFF"},
        {fit + QStringList{"--measurement", pair, "--curve", "Left", "--smooth", "0"}, 0, ""},
        // A target has no --curve of its own: one with several curves cannot be used.
        {fit + QStringList{"--measurement", pair, "--curve", "Left", "--target", pair}, 1,
         "choose one"},
        {fit + QStringList{"--measurement", pair}, 2, "\"Left (94 dB)\", \"Right (94 dB)\""},
        {fit + QStringList{"--measurement", pair, "--curve", "Centre"}, 2, "no curve"},
        {fit + QStringList{"--measurement", room, "--target", text}, 1, "no frequency"},
        {fit + QStringList{"--measurement", text}, 1, "no frequency and level"},
        {fit + QStringList{"--measurement", dir.filePath("missing.txt")}, 1, "cannot read"},
        {fit + QStringList{"--measurement", room, "--range", "21000-22000"}, 1,
         "a fit needs at least 10"},
        // What cannot be a measurement is refused before any fit.
        {fit + QStringList{"--measurement", "/dev/zero"}, 1, "Not a regular file"},
        {fit + QStringList{"--measurement", room, "--target", "/dev/zero"}, 1,
         "Not a regular file"},
        {{"fit", "--measurement", room}, 2, "exactly one --channel"},
        {{"fit", "--channel", "out_left", "--channel", "out_right", "--measurement", room},
         2,
         "exactly one --channel"},
        {fit, 2, "--measurement"},
        {fit + QStringList{"--measurement", room, "--range", "300-20"}, 2, "--range"},
        {fit + QStringList{"--measurement", room, "--max-boost", "13"}, 2, "--max-boost"},
        {fit + QStringList{"--measurement", room, "--keep", "9"}, 2, "--keep"},
        {fit + QStringList{"--measurement", room, "--smooth", "-1"}, 2, "--smooth"},
        {fit + QStringList{"--measurement", room, "--tilt", "x"}, 2, "--tilt"},
        {fit + QStringList{"--measurement", room, room}, 2, "unexpected"},
        {{"import", "--channel", "out_left", "--measurement", room, "-"}, 2, "--measurement"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Tool(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(u' ')) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message)))
            << qPrintable(c.args.join(u' ')) << qPrintable(r.err);
    }
}

// With --into only the channel's band records change; the report gives the figures and every
// band.
TEST(PresetFitTool, fitsIntoAPresetKeepingEveryOtherByte) {
    QTemporaryDir dir;
    const QString dump = dir.filePath("dump.preset"), out = dir.filePath("out.preset");
    std::mt19937 rng(11);
    const zx::ParameterModel random = zx::RandomPreset(rng, false);
    WriteAll(dump, zx::PresetFileBytes(zx::WriteImageText(random)));
    const ToolRun r =
        Tool({"fit", "--channel", "out_sub", "--measurement", Measurement("subwoofer.csv"),
              "--range", "20-200", "--keep", "2", "--into", dump, "-o", out, "--report"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    for (const char* text : {"out_sub: fit over 20-200 Hz", "before: RMS", "after:  RMS",
                             "level offset", "band 2:", "(kept)", "band 8:"}) {
        EXPECT_TRUE(r.err.contains(QLatin1String(text))) << text << qPrintable(r.err);
    }
    const QByteArray before = *zx::ImagePayloadOfText(QString::fromLatin1(ReadAll(dump)));
    const QByteArray after = *zx::ImagePayloadOfText(QString::fromLatin1(ReadAll(out)));
    ASSERT_EQ(after.size(), before.size());
    const int first = zx::BandRecordOffset(zx::BandId(4, 2)); // band 3 of out_sub
    const int end = zx::BandRecordOffset(zx::BandId(4, 7)) + 8;
    int changed = 0;
    for (int p = 0; p < before.size(); ++p) {
        if (before[p] == after[p]) continue;
        ++changed;
        EXPECT_TRUE(p >= zx::BandRecordOffset(zx::BandId(4, 0)) && p < end) << p;
        EXPECT_FALSE(p >= zx::BandRecordOffset(zx::BandId(4, 1)) && p < first) << p; // kept
    }
    EXPECT_GT(changed, 0);
}

} // namespace
