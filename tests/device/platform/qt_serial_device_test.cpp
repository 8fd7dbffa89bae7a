#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/qt_platform.h"

namespace zx {
namespace {

// A raw pseudo-terminal: the test writes at the master, the device under test opens the
// terminal. Closing the master is an adapter being pulled out.
class RawPty {
  public:
    RawPty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        if (const char* name = ::ptsname(master_)) path_ = QString::fromLocal8Bit(name);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~RawPty() { pull(); }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    const QString& path() const { return path_; }
    // Writes as much of count bytes as the terminal takes without blocking.
    qint64 writeUpTo(qint64 count) {
        const QByteArray chunk(1024, '\x5A');
        qint64 done = 0;
        while (done < count) {
            const auto n = ::write(master_, chunk.constData(), std::size_t(chunk.size()));
            if (n <= 0) break;
            done += n;
        }
        return done;
    }
    void pull() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    QString path_;
};

bool PumpUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(QtSerialDevice, aPeerFasterThanTheLineFillsNoMoreThanTheInputQueue) {
    RawPty pty;
    ASSERT_FALSE(pty.path().isEmpty());
    QtSerialDevice device;
    ASSERT_TRUE(device.open(pty.path()));
    ASSERT_GT(pty.writeUpTo(64 * 1024), SerialDevice::kInputQueueSize);
    const int queued = device.bytesQueued();
    EXPECT_GT(queued, 0);
    EXPECT_LE(queued, SerialDevice::kInputQueueSize);
    // Reading makes room for the rest.
    const auto first = device.read(queued);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size(), queued);
    EXPECT_GT(device.bytesQueued(), 0);
}

TEST(QtSerialDevice, aPulledAdapterIsReportedAsAFailure) {
    RawPty pty;
    ASSERT_FALSE(pty.path().isEmpty());
    QtSerialDevice device;
    int failures = 0;
    device.setFailureHandler([&] { ++failures; });
    ASSERT_TRUE(device.open(pty.path()));
    pty.pull();
    EXPECT_TRUE(PumpUntil([&] { return failures > 0; }, 2000));
    device.close();
}

} // namespace
} // namespace zx
