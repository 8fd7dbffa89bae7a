#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "platform/qt_platform.h"

namespace zx {
namespace {

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The connected program's 10 ms scan: ticks that would find nothing are left out while the
// timer stays active; a wake brings them back, not before the grid of the earlier ticks.
// Real time, so only bounds a late machine cannot break.
TEST(QtTimerHub, idleTimerDozesStaysActiveAndWakesOnItsGrid) {
    QtTimerHub hub;
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> ticks;
    bool work = false;
    hub.setHandler(TimerId::sendTimer, [&] { ticks.push_back(clock.elapsed()); });
    hub.setIdleWhile(TimerId::sendTimer, [&] { return !work; });
    hub.start(TimerId::sendTimer);
    RunFor(200);
    ASSERT_EQ(ticks.size(), 1U);
    EXPECT_TRUE(hub.isActive(TimerId::sendTimer));

    work = true;
    const qint64 wokeAt = clock.elapsed();
    hub.wake(TimerId::sendTimer);
    RunFor(200);
    ASSERT_GE(ticks.size(), 4U);
    // The hub reads its own clock: the two disagree by up to a millisecond, so a wake that
    // falls on a grid point may take that point or the next.
    const qint64 wokeAfter = wokeAt - ticks[0] - 1;
    EXPECT_GE(ticks[1] - ticks[0], ((wokeAfter - 1) / 10 + 1) * 10 - 1);

    work = false;
    RunFor(50);
    const std::size_t dozedAfter = ticks.size();
    hub.stop(TimerId::sendTimer);
    hub.wake(TimerId::sendTimer); // a stopped timer stays stopped
    RunFor(50);
    EXPECT_EQ(ticks.size(), dozedAfter);
    EXPECT_FALSE(hub.isActive(TimerId::sendTimer));
}

} // namespace
} // namespace zx
