#include <gtest/gtest.h>

#include "support/tool_process.h"

#include <QDir>

namespace zx {
namespace {

// The four tools read their command lines alike: --help prints the usage on standard output
// with status 0; a line that cannot be used says why on standard error, with the usage, and
// ends with status 2 before anything else happens.
TEST(ToolCommandLines, helpAndWrongLinesEndAlikeInEveryTool) {
    const QString sim = QStringLiteral(ZX_AMP_SIM), ctl = QStringLiteral(ZX_CTL),
                  preset = QStringLiteral(ZX_PRESET), response = QStringLiteral(ZX_RESPONSE);
    struct Case {
        QString tool;
        QStringList args;
        int status;
        const char* message; // the line before the usage on standard error; nullptr: help
    };
    const Case cases[] = {
        {sim, {"--help"}, 0, nullptr},
        {ctl, {"--help"}, 0, nullptr},
        {preset, {"--help"}, 0, nullptr},
        {response, {"--help"}, 0, nullptr},
        {preset, {"export", "-h", "no-such.preset"}, 0, nullptr},
        {sim, {"--stop-after", "5"}, 2, "amp-sim: Unknown option 'stop-after'."},
        {ctl, {"--port", "COM3", "names", "-x"}, 2, "zephranox-ctl: Unknown option 'x'."},
        {preset,
         {"export", "--detail", "a.preset"},
         2,
         "zephranox-preset: Unknown option 'detail'."},
        {response, {"--report", "a.preset"}, 2, "zephranox-response: Unknown option 'report'."},
        {response, {"--help", "--report"}, 2, "zephranox-response: Unknown option 'report'."},
        {sim, {"--link"}, 2, "amp-sim: Missing value after '--link'."},
        {ctl, {"--port"}, 2, "zephranox-ctl: Missing value after '--port'."},
        {preset, {"import", "--channel"}, 2, "zephranox-preset: Missing value after '--channel'."},
        {sim, {"/dev/ttyV0"}, 2, "amp-sim: unknown option /dev/ttyV0"},
        {ctl,
         {"--port", "COM3", "recall", "21"},
         2,
         "zephranox-ctl: usage: recall SLOT, SLOT 1..20"},
        {preset, {"export", "a.preset", "b.preset"}, 2, "zephranox-preset: unexpected b.preset"},
        {response, {"a.preset", "b.preset"}, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.tool.section(u'/', -1) + u' ' + c.args.join(u' ')));
        const ToolRun r = RunTool(c.tool, c.args);
        EXPECT_EQ(r.exitCode, c.status);
        const QString usage = QStringLiteral("usage: ") + c.tool.section(u'/', -1) + u' ';
        if (!c.message) {
            EXPECT_TRUE(r.out.startsWith(usage.toUtf8())) << r.out.constData();
            EXPECT_EQ(r.err, QString());
            continue;
        }
        const QString line = QString::fromUtf8(c.message);
        EXPECT_EQ(r.out, QByteArray());
        EXPECT_TRUE(r.err.startsWith(line.isEmpty() ? usage : line + u'\n' + usage))
            << qPrintable(r.err);
    }
}

// What a tool cannot use ends it with status 1 in every tool, amp-sim too: a file name that is
// not UTF-8 (another file would be used), an input that is no regular file.
TEST(ToolCommandLines, anInputThatCannotBeUsedEndsEveryToolWithOne) {
    const QString sim = QStringLiteral(ZX_AMP_SIM), ctl = QStringLiteral(ZX_CTL),
                  preset = QStringLiteral(ZX_PRESET), response = QStringLiteral(ZX_RESPONSE);
    const QString dir = QDir::tempPath();
    struct Case {
        QString tool;
        QStringList args;
        Prepare setUp;
        const char* message;
    };
    const Case cases[] = {
        {sim, {}, WithNameNotUtf8(dir, "--preset \"$N\""), "amp-sim: \""},
        {ctl, {}, WithNameNotUtf8(dir, "--port COM3 load \"$N\""), "zephranox-ctl: \""},
        {response, {}, WithNameNotUtf8(dir, "\"$N\""), "zephranox-response: \""},
        {sim, {"--preset", "/dev/zero"}, {}, "amp-sim: cannot read /dev/zero: Not a regular file"},
        {ctl,
         {"--ports-file", "/dev/zero", "recall", "1"},
         {},
         "zephranox-ctl: --ports-file /dev/zero: Not a regular file"},
        {preset,
         {"export", "/dev/zero"},
         {},
         "zephranox-preset: cannot read /dev/zero: Not a regular file"},
        {response,
         {"/dev/zero"},
         {},
         "zephranox-response: cannot read /dev/zero: Not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.tool.section(u'/', -1) + u' ' + c.args.join(u' ')));
        const ToolRun r = RunTool(c.tool, c.args, {}, c.setUp);
        EXPECT_EQ(r.exitCode, 1) << qPrintable(r.err);
        EXPECT_TRUE(r.err.startsWith(QString::fromUtf8(c.message))) << qPrintable(r.err);
    }
}

} // namespace
} // namespace zx
