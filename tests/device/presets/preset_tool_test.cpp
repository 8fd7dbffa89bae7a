#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "model/preset_image.h"
#include "random_presets.h"
#include "sim/sim_amplifier.h"
#include "support/file_bytes.h"
#include "support/tool_process.h"

namespace {

using zx::Prepare;
using zx::ReadAll;
using zx::RunTool;
using zx::ToolRun;
using zx::WriteAll;

ToolRun Tool(const QStringList& args, const QByteArray& input = {}) {
    return RunTool(QStringLiteral(ZEPHRANOX_PRESET_TOOL), args, input);
}

QByteArray Utf16WithBom(const QByteArray& latin1) {
    QByteArray out("\xFF\xFE");
    for (char c : latin1) out.append(c).append('\0');
    return out;
}

} // namespace

TEST(PresetTool, exitStatusSaysWhatHappened) {
    QTemporaryDir dir;
    const QString preset = dir.filePath(QStringLiteral("room.preset"));
    const QByteArray clean = "Preamp: -3 dB\nFilter 1: ON PK Fc 63 Hz Gain 4.2 dB Q 1.41\n";
    const QByteArray changed = clean + "Filter 2: ON PK Fc 100 Hz Gain 20 dB Q 1\n";
    // A room-measurement program's header lines and switched-off filters change nothing.
    const QByteArray headed = "Filter Settings file\n\nRoom EQ V5.20\nNotes:\n" + clean +
                              "Filter 2: OFF None\nFilter 3: OFF PK Fc 90 Hz Gain 1 dB Q 1\n";
    struct Case {
        QStringList args;
        QByteArray input;
        int exitCode;
    };
    const Case cases[] = {
        {{"--help"}, {}, 0},
        {{}, {}, 2},
        {{"import", "-"}, clean, 2},
        {{"import", "--channel", "left", "-"}, clean, 2},
        {{"export", "--into", preset, preset}, {}, 2},
        {{"import", "--channel", "out_left", "-o", preset, "-"}, clean, 0},
        {{"import", "--channel", "out_left", "-"}, changed, 3},
        {{"import", "--snap", "--channel", "out_left", "-"}, changed, 3},
        {{"import", "--channel", "out_left", "-"}, headed, 0},
        {{"import", "--channel", "L=out_left", "-"}, clean, 0},
        {{"import", "--channel", "=out_left", "-"}, clean, 2},
        {{"export", "--channel", "L=out_left", preset}, {}, 2},
        {{"export", "--snap", preset}, {}, 2},
        {{"import", "--channel", "out_left", "-"}, "\xEF\xBB\xBF" + clean, 0},
        {{"import", "--channel", "out_left", "-"}, Utf16WithBom(clean), 0},
        {{"import", "--channel", "out_left", "-"}, "", 1},
        {{"import", "--channel", "out_left", "-"}, "no filters here\n", 1},
        {{"import", "--channel", "out_left", dir.filePath("missing.txt")}, {}, 1},
        {{"export", dir.filePath("missing.preset")}, {}, 1},
    };
    for (const Case& c : cases) {
        const ToolRun r = Tool(c.args, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(u' ')) << qPrintable(r.err);
    }
}

TEST(PresetTool, importWritesAPresetThatExportsTheListBack) {
    QTemporaryDir dir;
    const QString preset = dir.filePath(QStringLiteral("room.preset"));
    const ToolRun imported = Tool({"import", "--snap", "--channel", "out_left", "--channel",
                                   "out_right", "-o", preset, "--report", "-"},
                                  "Preamp: -6.5 dB\nFilter 1: ON PK Fc 1000 Hz Gain -3 dB Q 2\n");
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
    EXPECT_TRUE(imported.err.contains(QStringLiteral("out_right: largest difference")));
    // Without --into every output is routed OFF.
    EXPECT_TRUE(imported.err.contains(QStringLiteral("routed OFF"))) << qPrintable(imported.err);

    QFile file(preset);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), zx::kBlockFrameTextSize + 2);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.left(20), "A5A5A500520028000228");

    const ToolRun exported = Tool({"export", "--channel", "out_right", preset});
    ASSERT_EQ(exported.exitCode, 0) << qPrintable(exported.err);
    // Each band as the cookbook filter that plays what the graph draws (-3.0 dB reads back as
    // -2.9 from its marker row; Q 2 draws as wide as a cookbook Q of about 0.97), its table
    // values in the comment above; bands 2..8 flat at their default frequencies, in their slots.
    const QStringList lines = QString::fromUtf8(exported.out).split(u'\n');
    ASSERT_GE(lines.size(), 18) << qPrintable(exported.out);
    EXPECT_EQ(lines.mid(0, 4),
              QStringList({"Channel: out_right", "Preamp: -6.5 dB",
                           "# Device band 1: type 0 freq 136 peak 105 shelf 120 q 9",
                           "Filter 1: ON PK Fc 996.67 Hz Gain -2.89 dB Q 0.9694"}));
    EXPECT_EQ(lines[16], "# Device band 8: type 0 freq 174 peak 120 shelf 120 q 4");
    EXPECT_TRUE(lines[17].startsWith("Filter 8: ON PK Fc 2990.45 Hz Gain 0.00 dB Q "));
}

// A device's dump with every byte set: what the list does not say (the preset name, bypass
// flags, reserved bytes, a shelf's Q, the other type's gain, a flat band's type, frequency
// and Q) comes back from the dump, the rest from the list, each band in its own slot.
TEST(PresetTool, exportThenImportIntoTheDumpGivesItBackByteForByte) {
    QTemporaryDir dir;
    const QString dump = dir.filePath("dump.preset"), list = dir.filePath("list.txt"),
                  back = dir.filePath("back.preset");
    QStringList import = {"import", "--into", dump, "-o", back, list};
    for (const char* ch : {"in_left", "in_right", "out_left", "out_right", "out_sub"})
        import << "--channel" << ch;
    std::mt19937 rng(5);
    for (int i = 0; i < 4; ++i) {
        QByteArray image = zx::ImageBytes(zx::RandomPreset(rng, false));
        for (int p = zx::kImageReservedOffset; p < zx::kImageSize; ++p)
            image[p] = char(zx::Pick(rng, 1, 255));
        for (zx::ChannelId ch = 0; ch < zx::kChannelCount; ++ch)
            image[zx::ChannelBlockOffset(ch) + 6] = 1; // bypass
        const QByteArray file = zx::SimAmplifier::BlockFrame(0, image).toHex().toUpper() + "\r\n";
        WriteAll(dump, file);

        const ToolRun exported = Tool({"export", "-o", list, dump});
        ASSERT_EQ(exported.exitCode, 0) << qPrintable(exported.err);
        const ToolRun imported = Tool(import);
        ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
        EXPECT_FALSE(imported.err.contains(QStringLiteral("routed OFF")));
        ASSERT_EQ(ReadAll(back), file) << qPrintable(QString::fromUtf8(ReadAll(list)));
    }
}

// A file the window calls damaged, output that cannot be written whole, a name that is not
// UTF-8: status 1, a message, and no file changed.
TEST(PresetTool, filesThatCannotBeReadOrWrittenEndWithStatus1) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.preset"), spaced = dir.filePath("spaced.preset"),
                  list = dir.filePath("list.txt"), out = dir.filePath("out.preset");
    const QByteArray frame = zx::WriteImageText(zx::ParameterModel{}).toLatin1();
    WriteAll(good, frame + "\r\n");
    WriteAll(spaced, frame + " \r\n");
    WriteAll(list, "Filter 1: ON PK Fc 63 Hz Gain 4.2 dB Q 1.41\n");
    WriteAll(out, "An old preset\r\n");
    // Where a name that is not UTF-8 led: every invalid byte became U+FFFD.
    const QString replaced = dir.filePath(QStringLiteral("\uFFFD"));
    WriteAll(replaced, frame + "\r\n");
    const QString preset = QStringLiteral(ZEPHRANOX_PRESET_TOOL);
    const QString response = QStringLiteral(ZEPHRANOX_RESPONSE_TOOL);
    struct Case {
        const char* name;
        QString tool;
        QStringList args;
        Prepare setUp;
        const char* message;
    };
    const QStringList importLeft = {"import", "--channel", "out_left"};
    const Case cases[] = {
        {"response of a file with a trailing space", response, {spaced}, {}, "not a preset file"},
        {"import into it",
         preset,
         importLeft + QStringList{"--into", spaced, "-o", out, list},
         {},
         "not a preset file"},
        {"response to a full disk", response, {good}, zx::ToFullDisk, "standard output"},
        {"export to a full disk", preset, {"export", good}, zx::ToFullDisk, "standard output"},
        {"import past the file-size limit", preset, importLeft + QStringList{"-o", out, list},
         zx::FileSizeLimit(600), "left as it was"},
        {"export of a name that is not UTF-8",
         preset,
         {},
         zx::WithNameNotUtf8(dir.path(), "export \"$N\""),
         "not valid UTF-8"},
        {"import into such a name",
         preset,
         {},
         zx::WithNameNotUtf8(dir.path(), "import --channel out_left -o \"$N\" " + list),
         "not valid UTF-8"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.tool, c.args, {}, c.setUp);
        EXPECT_EQ(r.exitCode, 1) << c.name << ": " << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message)))
            << c.name << ": " << qPrintable(r.err);
    }
    EXPECT_EQ(ReadAll(out), "An old preset\r\n");
    EXPECT_EQ(ReadAll(replaced), frame + "\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5);
}
