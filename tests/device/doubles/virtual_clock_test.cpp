#include <gtest/gtest.h>

#include <vector>

#include "doubles/virtual_clock.h"

namespace zx {
namespace {

struct Fired {
    TimerId id;
    std::int64_t atMs;
};

class VirtualClockTest : public ::testing::Test {
  protected:
    void record(TimerId id) {
        clock.setHandler(id, [this, id] { fired.push_back({id, clock.nowUs() / 1000}); });
    }
    std::vector<std::int64_t> timesOf(TimerId id) const {
        std::vector<std::int64_t> out;
        for (const auto& f : fired)
            if (f.id == id) out.push_back(f.atMs);
        return out;
    }

    VirtualClock clock;
    std::vector<Fired> fired;
};

TEST_F(VirtualClockTest, intervalsAreTheNamedTimersOwn) {
    const std::vector<std::pair<TimerId, int>> table = {
        {TimerId::Timer1, 500},    {TimerId::Timer2, 13000},   {TimerId::Timer3, 400},
        {TimerId::Timer4, 300},    {TimerId::Timer5, 300},     {TimerId::Timer7, 200},
        {TimerId::Timer10, 100},   {TimerId::Timer15, 300},    {TimerId::sendTimer, 10},
        {TimerId::intimer, 2000},  {TimerId::chcon, 800},      {TimerId::chcon112, 1500},
        {TimerId::chcon188, 2500}, {TimerId::refurbish, 2000}, {TimerId::TimerONOFF, 100}};
    for (const auto& [id, ms] : table) {
        SCOPED_TRACE(TimerName(id));
        record(id);
        const std::int64_t t0 = clock.nowUs() / 1000;
        clock.start(id);
        clock.advance(ms - 1);
        EXPECT_TRUE(timesOf(id).empty());
        clock.advance(1);
        ASSERT_EQ(timesOf(id).size(), 1u);
        EXPECT_EQ(timesOf(id)[0], t0 + ms);
        clock.stop(id);
    }
}

TEST_F(VirtualClockTest, startingARunningTimerKeepsItsInterval_stopAndStartBeginsAfresh) {
    record(TimerId::chcon);
    clock.start(TimerId::chcon);
    clock.advance(500);
    clock.start(TimerId::chcon); // no restart
    clock.advance(300);
    EXPECT_EQ(timesOf(TimerId::chcon), (std::vector<std::int64_t>{800}));

    clock.advance(500); // 1300
    clock.stop(TimerId::chcon);
    clock.start(TimerId::chcon); // fresh: next at 2100, not 1600
    clock.advance(799);
    EXPECT_EQ(timesOf(TimerId::chcon).size(), 1u);
    clock.advance(1);
    EXPECT_EQ(timesOf(TimerId::chcon), (std::vector<std::int64_t>{800, 2100}));
}

TEST_F(VirtualClockTest, timersArePeriodicUntilTheirHandlerStopsThem) {
    int ticks = 0;
    clock.setHandler(TimerId::Timer10, [&] {
        if (++ticks == 3) clock.stop(TimerId::Timer10);
    });
    clock.start(TimerId::Timer10);
    clock.advance(1000);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(clock.isActive(TimerId::Timer10));
}

TEST_F(VirtualClockTest, dueTimersFireInTimeOrder_tiesInStartOrder) {
    record(TimerId::Timer7);  // 200
    record(TimerId::Timer4);  // 300
    record(TimerId::Timer5);  // 300
    record(TimerId::Timer10); // 100
    clock.start(TimerId::Timer4);
    clock.start(TimerId::Timer7);
    clock.start(TimerId::Timer5);
    clock.advance(50);
    clock.start(TimerId::Timer10); // 150
    clock.advance(250);
    std::vector<TimerId> order;
    for (const auto& f : fired) order.push_back(f.id);
    EXPECT_EQ(order, (std::vector<TimerId>{TimerId::Timer10, TimerId::Timer7, TimerId::Timer10,
                                           TimerId::Timer4, TimerId::Timer5}));
}

TEST_F(VirtualClockTest, pumpWaitReturnsAfterItsTimeAndRunsTimersMeanwhile) {
    record(TimerId::sendTimer);
    clock.start(TimerId::sendTimer);
    const std::int64_t t0 = clock.nowUs();
    clock.pumpWait(100);
    EXPECT_GE(clock.nowUs() - t0, 100'000);
    EXPECT_EQ(timesOf(TimerId::sendTimer).size(), 10u);
}

TEST_F(VirtualClockTest, pumpWaitNests) {
    std::vector<int> depths;
    std::vector<std::int64_t> innerTicks;
    int refurbishTicks = 0;
    clock.setHandler(TimerId::TimerONOFF, [&] {
        innerTicks.push_back(clock.nowUs() / 1000);
        depths.push_back(clock.pumpDepth());
    });
    clock.setHandler(TimerId::refurbish, [&] {
        ++refurbishTicks;
        clock.stop(TimerId::refurbish);
        clock.pumpWait(350); // 2000..2350, inside the outer wait
    });
    clock.start(TimerId::refurbish);
    clock.advance(1950);
    clock.start(TimerId::TimerONOFF); // 2050, 2150, ...
    clock.pumpWait(200);              // ends at 2150 but waits for the inner one
    EXPECT_EQ(refurbishTicks, 1);
    EXPECT_EQ(clock.nowUs() / 1000, 2350);
    EXPECT_EQ(innerTicks, (std::vector<std::int64_t>{2050, 2150, 2250, 2350}));
    EXPECT_EQ(depths, (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(clock.pumpDepth(), 0);
}

TEST_F(VirtualClockTest, pauseHandlesNothing_aLateTickFiresOnceOnItsGrid) {
    record(TimerId::Timer10);
    bool posted = false;
    clock.start(TimerId::Timer10);
    clock.postWindowEvent([&] { posted = true; });
    bool lineRan = false;
    clock.postLineEvent([&] { lineRan = true; }, 120'000);
    clock.pause(350);
    EXPECT_TRUE(fired.empty());
    EXPECT_FALSE(posted);
    EXPECT_TRUE(lineRan); // the line keeps going while the window thread sleeps
    clock.pumpWait(0);
    EXPECT_TRUE(posted);
    EXPECT_EQ(timesOf(TimerId::Timer10), (std::vector<std::int64_t>{350}));
    clock.advance(50);
    EXPECT_EQ(timesOf(TimerId::Timer10), (std::vector<std::int64_t>{350, 400}));
}

TEST_F(VirtualClockTest, runUntilStopsAtThePredicateOrTheLimit) {
    int ticks = 0;
    clock.setHandler(TimerId::Timer3, [&] { ++ticks; });
    clock.start(TimerId::Timer3);
    EXPECT_TRUE(clock.runUntil([&] { return ticks == 2; }, 5000));
    EXPECT_EQ(clock.nowUs(), 800'000);
    EXPECT_FALSE(clock.runUntil([&] { return ticks == 10; }, 1000));
    EXPECT_EQ(clock.nowUs(), 1'800'000);
    EXPECT_EQ(ticks, 4);
}

} // namespace
} // namespace zx
