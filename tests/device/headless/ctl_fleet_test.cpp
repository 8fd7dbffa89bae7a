#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "headless/ctl_commands.h"
#include "headless/ctl_fleet.h"

namespace zx {
namespace {

TEST(CtlFleet, severalPortsTakeOnlyTheCommandsThatSetDevices) {
    struct Row {
        QStringList args;
        bool accepted;
    };
    const QString a = "tcp://10.0.0.1:4001", b = "rfc2217://10.0.0.2:2001";
    const std::vector<Row> table = {
        {{"--port", a, "--port", b, "load", "f", "--verify"}, true},
        {{"--port", a, "--port", b, "recall", "3", "--json"}, true},
        {{"--ports-file", "racks", "store", "2", "Hall"}, true},
        {{"--port", a, "--port", b, "show"}, false}, // prints settings: one device only
        {{"--port", a, "--port", b, "names"}, false},
        {{"--port", a, "--port", b, "dump", "-o", "f"}, false},
        {{"--port", "tcp://10.0.0.1", "names"}, false}, // no port number
        {{"--port", "ssh://10.0.0.1:22", "names"}, false},
        {{"--port", a, "load", "f", "--json"}, false}, // one device: --json is show's
        {{"--port", a, "show", "--json"}, true},
    };
    for (const Row& row : table) {
        const CtlParse p = ParseCtlArgs(row.args);
        EXPECT_EQ(bool(p.command), row.accepted) << row.args.join(' ').toStdString();
    }
    const CtlParse p = ParseCtlArgs({"--port", a, "--port", b, "recall", "3"});
    ASSERT_TRUE(p.command);
    EXPECT_EQ(p.command->ports, (QStringList{a, b}));
    EXPECT_TRUE(RunsOnSeveralPorts(*p.command));
    EXPECT_FALSE(RunsOnSeveralPorts(*ParseCtlArgs({"--port", a, "recall", "3"}).command));
}

TEST(CtlFleet, portsFileSkipsCommentsBlankLinesAndSpaces) {
    QTemporaryDir dir;
    const QString path = dir.filePath("racks");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# stage left\n  tcp://10.0.0.1:4001  \n\nrfc2217://10.0.0.2:2001 # amp "
            "2\r\n#\n/dev/ttyUSB0");
    f.close();
    QString why;
    EXPECT_EQ(ReadPortsFile(path, &why),
              (QStringList{"tcp://10.0.0.1:4001", "rfc2217://10.0.0.2:2001", "/dev/ttyUSB0"}));
    EXPECT_FALSE(ReadPortsFile(dir.filePath("missing"), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(CtlFleet, resultLinesAndTheWorstStatus) {
    const std::vector<CtlDeviceResult> results = {
        {"tcp://a:1", kCtlOk, ""},
        {"tcp://b:1", kCtlDiffers, "load f: the device holds other settings than the file: x"},
        {"tcp://c:1", kCtlFailed, "connect tcp://c:1: No port or in use."},
    };
    EXPECT_EQ(CtlResultLine(results[0], false), "tcp://a:1 ok");
    EXPECT_EQ(CtlResultLine(results[2], false),
              "tcp://c:1 failed connect tcp://c:1: No port or in use.");
    EXPECT_EQ(CtlResultLine(results[1], true),
              "{\"message\":\"load f: the device holds other settings than the file: x\","
              "\"port\":\"tcp://b:1\",\"result\":\"differs\",\"status\":4}");
    // A device that could not be set is worse than one that holds other settings.
    EXPECT_EQ(WorstCtlStatus(results), kCtlFailed);
    EXPECT_EQ(WorstCtlStatus({results[0], results[1]}), kCtlDiffers);
    EXPECT_EQ(WorstCtlStatus({results[0]}), kCtlOk);
}

// A port given twice, one in a ports file, ends the run before any link is made.
TEST(CtlFleet, aPortGivenTwiceIsAWrongCommandLine) {
    QTemporaryDir dir;
    QFile f(dir.filePath("racks"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("tcp://10.0.0.1:4001\n");
    f.close();
    const CtlParse p = ParseCtlArgs(
        {"--port", "tcp://10.0.0.1:4001", "--ports-file", f.fileName(), "recall", "1"});
    ASSERT_TRUE(p.command);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(RunCtlFleet(*p.command, out, err), kCtlUsage);
    err.flush();
    EXPECT_TRUE(errText.contains("given twice")) << errText.toStdString();
    EXPECT_TRUE(outText.isEmpty());
}

} // namespace
} // namespace zx
