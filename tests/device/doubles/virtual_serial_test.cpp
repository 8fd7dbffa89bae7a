#include <gtest/gtest.h>

#include <QDialog>

#include "window_doubles/scripted_dialogs.h"
#include "window_doubles/test_platform.h"

namespace zx {
namespace {

const QByteArray kPoll = QByteArray::fromHex("A5A5A500A2002B00000089AA");

class VirtualLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tp.serial.open("COM3"));
        tp.serial.setDataAvailableHandler([this] {
            ++notifications;
            inHandler = true;
            if (handler) handler();
            inHandler = false;
        });
    }
    TestPlatform tp;
    int notifications = 0;
    bool inHandler = false;
    std::function<void()> handler;
};

TEST_F(VirtualLineTest, aByteTakesTenBitTimes) {
    EXPECT_EQ(VirtualSerialDevice::ByteTimeUs(1), 1042);
    EXPECT_EQ(VirtualSerialDevice::ByteTimeUs(12), 12500);
    EXPECT_EQ(VirtualSerialDevice::ByteTimeUs(564), 587500);
}

TEST_F(VirtualLineTest, aWriteBlocksUntilSent_theAnswerFollowsAtLinePace) {
    std::vector<std::int64_t> arrivals;
    handler = [&] {
        arrivals.push_back(tp.clock.nowUs());
        tp.serial.read(100);
    };
    ASSERT_TRUE(tp.serial.write(kPoll));
    EXPECT_EQ(tp.clock.nowUs(), 12500);
    EXPECT_EQ(tp.serial.bytesQueued(), 0);
    tp.advance(100);
    // The device starts 2 ms after the request; its first byte is in 1.04 ms later.
    ASSERT_FALSE(arrivals.empty());
    EXPECT_EQ(arrivals[0], 12500 + 2000 + 1042);
    ASSERT_EQ(tp.sim.framesFromPc().size(), 1u);
    EXPECT_EQ(tp.sim.framesFromPc()[0], kPoll);
}

TEST_F(VirtualLineTest, oneNotificationAtATime_bytesLeftWaitingBringTheNext) {
    std::vector<int> queuedAtStart;
    handler = [&] {
        queuedAtStart.push_back(tp.serial.bytesQueued());
        if (notifications == 1) tp.clock.pumpWait(30); // the rest arrives while we wait
        tp.serial.read(5);
    };
    tp.serial.inject(QByteArray(20, 'x'));
    tp.advance(200);
    // The first handler sees 1 byte and takes 5; the 15 that came meanwhile bring the next,
    // which takes 5 more. The last 10 wait for the next byte to arrive.
    EXPECT_EQ(queuedAtStart, (std::vector<int>{1, 15}));
    EXPECT_FALSE(tp.serial.notificationOutstanding());
    tp.serial.inject("y");
    tp.advance(10);
    EXPECT_EQ(queuedAtStart, (std::vector<int>{1, 15, 11}));
}

TEST_F(VirtualLineTest, bytesReadByTheHandlerItselfBringNoFurtherNotification) {
    handler = [&] {
        tp.clock.pumpWait(30);
        tp.serial.read(100);
    };
    tp.serial.inject(QByteArray(20, 'x'));
    tp.advance(200);
    EXPECT_EQ(notifications, 1);
}

TEST_F(VirtualLineTest, aModalDialogInTheHandlerHoldsBackFurtherNotifications) {
    handler = [&] {
        tp.serial.read(1000);
        if (notifications == 1) tp.dialogs.message("hold");
    };
    std::vector<int> seenDuringDialog;
    tp.clock.setHandler(TimerId::Timer10, [&] {
        if (inHandler) seenDuringDialog.push_back(notifications);
    });
    tp.clock.start(TimerId::Timer10);
    tp.dialogs.setMessageOpenMs(400);
    tp.serial.inject(QByteArray(100, 'x'));
    tp.advance(500);
    EXPECT_EQ(seenDuringDialog, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(tp.serial.bytesQueued(), 0);
}

TEST_F(VirtualLineTest, closedOrUnpluggedDevicesFail) {
    tp.serial.close();
    EXPECT_FALSE(tp.serial.write(kPoll));
    EXPECT_FALSE(tp.serial.open("COM4"));
    EXPECT_TRUE(tp.serial.open("COM3"));
    EXPECT_FALSE(tp.serial.open("COM3")); // exclusive
    int failures = 0;
    tp.serial.setFailureHandler([&] { ++failures; });
    tp.serial.unplug();
    tp.advance(1);
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(tp.serial.write(kPoll));
    EXPECT_FALSE(tp.serial.read(10).has_value());
    EXPECT_EQ(tp.serial.bytesQueued(), -1);
}

TEST(ScriptedDialogs, answersFromTheScriptAndRecordsWhatWasShown) {
    VirtualClock clock;
    ScriptedDialogs d(&clock);
    EXPECT_FALSE(d.askYesNo("ZEPHRANOX PC Software", "Do you want to save this group?"));
    d.answerYes(true, 250);
    EXPECT_TRUE(d.askYesNo("c", "q"));
    EXPECT_EQ(clock.nowUs(), 250'000); // the box stayed open
    EXPECT_TRUE(d.saveFileName("ZEPHRANOX FILE", "ZEPHRANOX").isEmpty());
    d.answerOpen("/tmp/x.txt");
    EXPECT_EQ(d.openFileName("ZEPHRANOX FILE", {}), "/tmp/x.txt");
    d.message("File damaged.");
    QDialog dialog;
    EXPECT_EQ(d.execModal(dialog), QDialog::Rejected);
    d.answerModal([](QDialog&) { return int(QDialog::Accepted); });
    EXPECT_EQ(d.execModal(dialog), QDialog::Accepted);

    ASSERT_EQ(d.shown().size(), 7u);
    EXPECT_EQ(d.shown()[0].kind, ScriptedDialogs::Kind::Question);
    EXPECT_EQ(d.shown()[0].caption, "ZEPHRANOX PC Software");
    EXPECT_EQ(d.shown()[2].kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(d.shown()[2].defaultName, "ZEPHRANOX");
    EXPECT_EQ(d.messages(), QStringList{"File damaged."});
}

} // namespace
} // namespace zx
