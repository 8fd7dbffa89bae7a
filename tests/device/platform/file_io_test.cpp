// Every file the program and the tools read: only a regular file, never more than its limit,
// and nothing that could block or exhaust memory.

#include "fit/measurement_load.h"
#include "headless/ctl_fleet.h"
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace zx {
namespace {

TEST(FileIo, onlyARegularFileWithinItsLimitIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString small = dir.filePath("small.txt");
    QFile f(small);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("100 80\n200 81\n");
    f.close();
    // Longer than the limit, without taking the disk: a sparse file.
    const QString huge = dir.filePath("huge.txt");
    QFile h(huge);
    ASSERT_TRUE(h.open(QIODevice::WriteOnly));
    ASSERT_TRUE(h.resize(kMeasurementSizeLimit + 1));
    h.close();
    QString fifo = dir.filePath("fifo");
#ifdef Q_OS_UNIX
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#else
    fifo.clear();
#endif
    struct Case {
        const char* name;
        QString path;
        const char* why; // nullptr: read
    };
    const Case cases[] = {
        {"a regular file", small, nullptr},
        {"a missing file", dir.filePath("missing"), "No such file or directory"},
        {"a folder", dir.path(), "Not a regular file"},
        {"a FIFO: never opened, so never waited on", fifo, "Not a regular file"},
        {"an endless device", QStringLiteral("/dev/zero"), "Not a regular file"},
        {"a file over the limit, refused before it is read", huge,
         "longer than 64 MB, the most that is read"},
    };
    for (const Case& c : cases) {
        if (c.path.isEmpty() || (c.path.startsWith(u"/dev/") && !QFile::exists(c.path))) continue;
        SCOPED_TRACE(c.name);
        QString why;
        const auto bytes = ReadInputFile(c.path, kMeasurementSizeLimit, &why);
        EXPECT_EQ(bool(bytes), !c.why);
        if (c.why) {
            EXPECT_EQ(why, QString::fromUtf8(c.why));
        }
        // Each reader says so with the file's name, the ports file with the reason.
        const MeasurementRead read = ReadMeasurementPath(c.path);
        EXPECT_EQ(read.error.isEmpty(), !c.why) << qPrintable(read.error);
        if (c.why) {
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("cannot read ") + c.path));
        }
        EXPECT_EQ(bool(ReadPortsFile(c.path, &why)), !c.why);
    }
}

} // namespace
} // namespace zx
