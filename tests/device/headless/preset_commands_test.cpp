// zephranox-preset's commands as the device library runs them: the tool's main() only passes
// its arguments and standard streams.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include "headless/preset_commands.h"
#include "support/file_bytes.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace zx {
namespace {

struct PresetRunResult {
    int status;
    QByteArray out;
    QString err;
};

PresetRunResult RunPreset(const QStringList& args) {
    const PresetParse parse = ParsePresetArgs(args);
    if (parse.help) return {kPresetOk, {}, {}};
    if (!parse.command) return {kPresetUsage, {}, parse.error};
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString err;
    QTextStream e(&err);
    const int status = RunPresetCommand(*parse.command, out, e);
    e.flush();
    return {status, out.data(), err};
}

TEST(PresetCommands, eachMeasurementIsReadOrRefusedWithWhatShowsIt) {
    QTemporaryDir dir;
    const auto file = [&](const char* name, const QByteArray& text) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        WriteAll(path, text);
        return path;
    };
    QByteArray pairs = "\"Left (94 dB)\",,Right,\nX,Y,X,Y\nHz,dBSPL,Hz,dBSPL\n";
    QByteArray twelve;
    for (int k = 0; k < 12; ++k) {
        const QByteArray hz = QByteArray::number(50 * (1 << k) / 4 + 20);
        pairs += hz + ",8" + QByteArray::number(k % 3) + "," + hz + ",70\n";
        twelve += hz + " 80\n";
    }
    const QString pairFile = file("pairs.csv", pairs), twelveFile = file("twelve.txt", twelve);
    const QString fifo = dir.filePath("fifo");
#ifdef Q_OS_UNIX
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = QStringLiteral("/dev/zero");
#else
    const QString device = dir.path(); // a folder stands in where there is no /dev
#endif
    const QStringList fit = {"fit", "--channel", "out_left", "--smooth", "0", "--measurement"};
    struct Case {
        QStringList args;
        int status;
        std::string err; // a part of what standard error says
    };
    const Case cases[] = {
        {fit + QStringList{pairFile, "--curve", "Left", "--report"}, kPresetOk,
         "measurement \"Left (94 dB)\": 12 points, 32 Hz to 25620 Hz, 80.0 dB to 82.0 dB"},
        {fit + QStringList{pairFile}, kPresetUsage, "choose one with --curve"},
        {fit + QStringList{pairFile, "--curve", "Centre"}, kPresetUsage, "no curve \"Centre\""},
        {fit + QStringList{twelveFile, "--range", "20-1000"}, kPresetFailed,
         "has 7 point(s) between 20 and 1000 Hz; a fit needs at least 10"},
        {fit + QStringList{file("huge.txt", "100 80\n200 1e300\n")}, kPresetFailed,
         "line 2, column 2: a level of 1e+300 dB"},
        {fit + QStringList{file("one.txt", "1000 80\n1000 81\n")}, kPresetFailed,
         "all 2 rows from line 1 are at 1000 Hz"},
        {fit + QStringList{device}, kPresetFailed,
         "cannot read " + device.toStdString() + ": Not a regular file"},
        {fit + QStringList{dir.path()}, kPresetFailed, "Not a regular file"},
#ifdef Q_OS_UNIX
        {fit + QStringList{fifo}, kPresetFailed, "Not a regular file"},
#endif
        {fit + QStringList{twelveFile, "--target", device}, kPresetFailed,
         "cannot read " + device.toStdString()},
        {{"import", "--channel", "out_left", device}, kPresetFailed, "Not a regular file"},
        {{"export", device}, kPresetFailed, "Not a regular file"},
        {{"export", "a", "b"}, kPresetUsage, "unexpected b"},
        {{"fit", "--measurement", pairFile}, kPresetUsage, "exactly one --channel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(u' ')));
        const PresetRunResult r = RunPreset(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromStdString(c.err))) << qPrintable(r.err);
        // A preset file is written only when the fit was made.
        EXPECT_EQ(!r.out.isEmpty(), c.status == kPresetOk);
    }
}

} // namespace
} // namespace zx
