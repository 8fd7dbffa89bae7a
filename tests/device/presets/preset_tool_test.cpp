#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "model/preset_image.h"
#include "response/response_export.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

ToolRun Tool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(ZEPHRANOX_PRESET_TOOL), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
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
    const QByteArray changed = clean + "Filter 2: OFF PK Fc 100 Hz Gain 1 dB Q 1\n";
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
    const ToolRun imported = Tool({"import", "--channel", "out_left", "--channel", "out_right",
                                   "-o", preset, "--report", "-"},
                                  "Preamp: -6.5 dB\nFilter 1: ON PK Fc 1000 Hz Gain -3 dB Q 2\n");
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
    EXPECT_TRUE(imported.err.contains(QStringLiteral("out_right: largest difference")));

    QFile file(preset);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), zx::kPresetTextLength + 2);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.left(20), "A5A5A500520028000228");

    const ToolRun exported = Tool({"export", "--channel", "out_right", preset});
    ASSERT_EQ(exported.exitCode, 0) << qPrintable(exported.err);
    EXPECT_EQ(exported.out, "Channel: out_right\nPreamp: -6.5 dB\n"
                            "Filter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.0\n\n");
}
