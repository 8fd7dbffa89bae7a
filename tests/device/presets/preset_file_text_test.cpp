#include <gtest/gtest.h>

#include "model/preset_image.h"
#include "presets/preset_file_text.h"

namespace zx {
namespace {

// The one reader of preset files, for the window's PC "Load", zephranox-ctl and every tool.
TEST(PresetFileText, joinedLinesOfHexPairsOnlyNothingTrimmed) {
    const QString valid = WriteImageText(ParameterModel{});
    const QByteArray line = valid.toLatin1();
    struct Case {
        const char* name;
        QByteArray contents;
        const char* why; // nullptr: accepted
    };
    QByteArray nonHexSum = line, nonHexBody = line;
    nonHexSum[1125] = 'x';
    nonHexBody[501] = ' ';
    const Case cases[] = {
        {"one line with CR LF", line + "\r\n", nullptr},
        {"split over CR LF, LF and CR lines",
         line.left(100) + "\r\n" + line.mid(100, 900) + "\n" + line.mid(1000, 28) + "\r" +
             line.mid(1028) + "\r\n",
         nullptr},
        {"lowercase", line.toLower() + "\r\n", nullptr},
        {"empty lines around", "\r\n\n" + line + "\r\n\r\n", nullptr},
        {"empty", "", "0 characters"},
        {"1127 characters", line.left(1127) + "\r\n", "1127 characters"},
        {"1130 characters", line + "00\r\n", "more than 1128"},
        {"a trailing space", line + " \r\n", "more than 1128"},
        {"a leading tab", "\t" + line + "\r\n", "more than 1128"},
        {"a space in place of a digit", nonHexBody, "character 502"},
        {"non-hex in the checksum", nonHexSum, "character 1126"},
        {"a line counts with its first 4096 characters", line + QByteArray(5000, ' '),
         "more than 1128"},
        {"larger than any preset file", QByteArray(kPresetFileSizeLimit, '\n') + line,
         "larger than any preset file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        const auto text = ReadPresetFileText(c.contents, &why);
        ASSERT_EQ(text.has_value(), c.why == nullptr) << why.toStdString();
        if (text) {
            EXPECT_EQ(text->toUpper(), valid);
        } else {
            EXPECT_TRUE(why.contains(QString::fromLatin1(c.why))) << why.toStdString();
        }
    }
}

} // namespace
} // namespace zx
