#include "app_fixture.h"

#include "link/frame.h"

using namespace zx;

namespace {
const QString kOvertime = QStringLiteral("overtime,please try again.");
}

TEST_F(AppTest, startup_listsPortsWithCaptionDisconnectAndRedLight) {
    EXPECT_EQ(app.window.portEntries(), QStringList{"COM3"});
    EXPECT_EQ(app.window.selectedPortIndex(), 0);
    EXPECT_EQ(caption(), "Disconnect");
    EXPECT_TRUE(tp.clock.isActive(TimerId::refurbish));
    EXPECT_TRUE(tp.clock.isActive(TimerId::TimerONOFF));
    EXPECT_FALSE(tp.clock.isActive(TimerId::Timer1));
    tp.advance(100);
    EXPECT_EQ(app.window.statusLight()->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(AppTest, handshake_readsBlockThenNamesThenPolls) {
    clickConnect();
    EXPECT_EQ(caption(), "Connect");
    EXPECT_TRUE(app.window.connectingBox()->isVisible() || !app.window.isVisible());
    EXPECT_FALSE(app.window.topBar()->isEnabled());
    ASSERT_TRUE(tp.runUntil([this] { return connected(); }, 3000));
    EXPECT_LT(nowMs(), 1500);
    EXPECT_FALSE(app.window.connectingBox()->isVisibleTo(&app.window));
    EXPECT_TRUE(app.window.topBar()->isEnabled());
    EXPECT_TRUE(app.window.signalFlowPanel()->isEnabled());
    EXPECT_FALSE(app.window.portSelector()->isEnabled());
    tp.advance(1200);
    EXPECT_EQ(app.window.statusLight()->palette().color(QPalette::Window), QColor(0, 125, 0));
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());

    const auto frames = pcFrames();
    ASSERT_GE(frames.size(), 4u);
    EXPECT_EQ(frames[0], LiveBlockRequest());
    EXPECT_EQ(frames[1], NamesRequest());
    for (std::size_t i = 2; i < frames.size(); ++i) EXPECT_EQ(frames[i], PollRequest());
}

TEST_F(AppTest, handshake_progressBarStepsFivePercentEvery100ms) {
    tp.sim.faults.silent = true;
    clickConnect(); // 100 ms pass inside the click
    EXPECT_EQ(app.window.connectingBox()->percent(), 5);
    tp.advance(300);
    EXPECT_EQ(app.window.connectingBox()->percent(), 20);
}

TEST_F(AppTest, handshake_failuresReportTheirTimeoutAndAllowANewConnect) {
    struct Case {
        const char* name;
        void (*fault)(SimFaults&);
        double deadlineMs;
    };
    const Case cases[] = {
        {"no byte", [](SimFaults& f) { f.silent = true; }, 800},
        {"garbage answer", [](SimFaults& f) { f.garbageBlock = true; }, 1500},
        {"no names", [](SimFaults& f) { f.noNames = true; }, 2500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPlatform local;
        Application a(local.platform());
        a.Start();
        c.fault(local.sim.faults);
        a.window.connectButton()->click();
        ASSERT_TRUE(local.runUntil([&] { return !local.dialogs.messages().isEmpty(); }, 4000));
        const auto& w = local.serial.writes().front();
        const double requestEnd =
            (w.atUs + VirtualSerialDevice::ByteTimeUs(w.bytes.size())) / 1000.0;
        // The message follows the disconnect and its 50 ms pause.
        EXPECT_NEAR(local.clock.nowUs() / 1000.0 - requestEnd,
                    c.deadlineMs + Connection::kDisconnectPauseMs, 1.0);
        EXPECT_EQ(local.dialogs.messages(), QStringList{kOvertime});
        EXPECT_FALSE(a.link.transport.LinkUp);
        EXPECT_EQ(a.window.connectButton()->text(), "Disconnect");
        EXPECT_TRUE(a.window.topBar()->isEnabled());
        EXPECT_TRUE(a.window.portSelector()->isEnabled());

        local.sim.faults = SimFaults{};
        local.dialogs.clear();
        a.window.connectButton()->click();
        EXPECT_TRUE(local.runUntil(
            [&] { return a.link.transport.LinkUp && local.clock.isActive(TimerId::Timer1); },
            3000));
        local.advance(3000);
        EXPECT_TRUE(local.dialogs.messages().isEmpty());
    }
}

TEST_F(AppTest, handshake_blockWithoutNamesClosesTheBoxWhenTheBlockArrives) {
    tp.sim.faults.noNames = true;
    clickConnect();
    ASSERT_TRUE(tp.runUntil([this] { return !tp.clock.isActive(TimerId::chcon112); }, 2000));
    EXPECT_FALSE(app.window.connectingBox()->isVisibleTo(&app.window));
    EXPECT_TRUE(app.window.topBar()->isEnabled());
    EXPECT_TRUE(app.window.signalFlowPanel()->isEnabled());
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
    EXPECT_TRUE(waitForMessage(2000));
    EXPECT_EQ(tp.dialogs.messages(), QStringList{kOvertime});
}

TEST_F(AppTest, connect_withoutAPortOrWithThePortInUseSaysSo) {
    tp.serial.setInUse(true);
    clickConnect();
    EXPECT_EQ(tp.dialogs.messages(), QStringList{"No port or in use."});
    EXPECT_EQ(caption(), "Disconnect");
    EXPECT_FALSE(app.window.connectingBox()->isVisibleTo(&app.window));
    EXPECT_TRUE(app.window.topBar()->isEnabled());
    EXPECT_FALSE(tp.clock.isActive(TimerId::Timer10));

    tp.serial.setInUse(false);
    tp.ports.setEntries({});
    tp.advance(2000); // the refresh empties the selector
    EXPECT_TRUE(app.window.portEntries().isEmpty());
    tp.dialogs.clear();
    clickConnect();
    EXPECT_EQ(tp.dialogs.messages(), QStringList{"No port or in use."});
    EXPECT_EQ(caption(), "Disconnect");

    tp.ports.setEntries({"COM3"});
    tp.advance(2000);
    connectAndWait();
}

TEST_F(AppTest, watchdog_silentDeviceEndsTheLinkWithInterrupt) {
    connectAndWait();
    tp.advance(1700);
    tp.sim.faults.silentFromMs = static_cast<std::int64_t>(nowMs());
    ASSERT_TRUE(waitForMessage(4000));
    EXPECT_EQ(tp.dialogs.messages(), QStringList{"interrupt."});
    // The watchdog fired 50 ms before the message (the disconnect's pause); the last answer
    // had fully arrived a 20-byte time after the device began to send it.
    const double firedMs = nowMs() - Connection::kDisconnectPauseMs;
    const double sinceLastAnswer =
        firedMs - lastDeviceFrameMs() - VirtualSerialDevice::ByteTimeUs(20) / 1000.0;
    EXPECT_GE(sinceLastAnswer, 2000);
    EXPECT_LE(sinceLastAnswer, 2500);
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_EQ(caption(), "Disconnect");
}

TEST_F(AppTest, watchdog_anyAnswerEvenGarbageKeepsTheLink) {
    connectAndWait();
    tp.sim.faults.silent = true;
    for (int i = 0; i < 40; ++i) {
        tp.serial.inject(QByteArray("\x01\x02\x03", 3));
        tp.advance(500);
    }
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
    EXPECT_TRUE(app.link.transport.LinkUp);
}

TEST_F(AppTest, disconnect_closesAfter50msAndTheLightTurnsRedAtTheNextTick) {
    connectAndWait();
    tp.advance(250);
    const int purgesBefore = tp.serial.purgeCount();
    clickConnect();
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_GT(tp.serial.purgeCount(), purgesBefore);
    EXPECT_EQ(caption(), "Disconnect");
    EXPECT_TRUE(app.window.portSelector()->isEnabled());
    EXPECT_EQ(app.link.transport.SelectedPort, -1);
    tp.advance(100);
    EXPECT_EQ(app.window.statusLight()->palette().color(QPalette::Window), QColor(255, 0, 0));
    const std::size_t framesAfter = pcFrames().size();
    tp.advance(5000);
    EXPECT_EQ(pcFrames().size(), framesAfter);
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}

TEST_F(AppTest, disconnect_duringTheNamesStageStopsTheHandshakeDeadline) {
    tp.sim.faults.noNames = true;
    clickConnect();
    ASSERT_TRUE(tp.runUntil([this] { return app.window.topBar()->isEnabled(); }, 2000));
    clickConnect(); // disconnect while waiting for the names
    const int opens = tp.serial.openCount();
    tp.advance(4000);
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
    EXPECT_EQ(tp.serial.openCount(), opens);
    EXPECT_EQ(caption(), "Disconnect");
}

TEST_F(AppTest, disconnect_dropsAFramePickedJustBefore) {
    connectAndWait();
    app.model.channels[0].gainIndex = 50;
    app.link.sendSlots.BuildChannelSettings(0);
    tp.advance(20); // picked, not yet written
    ASSERT_NE(app.link.sendSlots.CurrentSlot(), 0);
    clickConnect();
    tp.advance(1000);
    const std::size_t before = pcFrames().size();
    tp.sim.faults.noNames = true;
    clickConnect();
    tp.advance(1000);
    const auto frames = pcFrames();
    ASSERT_GT(frames.size(), before);
    EXPECT_EQ(frames[before], LiveBlockRequest());
    for (std::size_t i = before; i < frames.size(); ++i)
        EXPECT_NE(static_cast<std::uint8_t>(frames[i][4]), kTypePcWrite) << i;
    EXPECT_FALSE(tp.clock.isActive(TimerId::Timer1));
}

TEST_F(AppTest, portList_isKeptWhileConnectedAndRefreshedAfterADisconnect) {
    connectAndWait();
    tp.ports.setEntries({"COM3", "COM7"});
    tp.advance(4000);
    EXPECT_EQ(app.window.portEntries(), QStringList{"COM3"});
    clickConnect();
    tp.advance(2000);
    EXPECT_EQ(app.window.portEntries(), (QStringList{"COM3", "COM7"}));
    EXPECT_EQ(app.window.portSelector()->currentText(), "COM3"); // the port it was on
}

TEST_F(AppTest, portList_aChangedListKeepsTheChosenPortWhileItIsListed) {
    struct Case {
        QStringList before;
        const char* chosen;
        QStringList after;
        const char* selected;
    };
    const Case cases[] = {
        {{"COM3", "COM7"}, "COM3", {"COM1", "COM3", "COM7"}, "COM3"},
        {{"COM3", "COM7"}, "COM3", {"COM3", "COM7", "COM9"}, "COM3"},
        {{"COM3", "COM7"}, "COM3", {"COM1", "COM7"}, "COM7"}, // gone: the last entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after.join(u' ').toStdString());
        tp.ports.setEntries(c.before);
        tp.advance(2000);
        app.window.portSelector()->setCurrentText(QString::fromLatin1(c.chosen));
        tp.ports.setEntries(c.after);
        tp.advance(2000);
        EXPECT_EQ(app.window.portEntries(), c.after);
        EXPECT_EQ(app.window.portSelector()->currentText(), QString::fromLatin1(c.selected));
    }
}

TEST_F(AppTest, portList_unchangedListKeepsTheUsersSelection) {
    tp.ports.setEntries({"COM3", "COM7"});
    tp.advance(2000);
    app.window.portSelector()->setCurrentIndex(0);
    tp.advance(4000);
    EXPECT_EQ(app.window.selectedPortIndex(), 0);
}

TEST_F(AppTest, disconnect_aBlockArrivingDuringItsPauseLeavesThePortSelectorEnabled) {
    tp.sim.faults.silent = true;
    clickConnect();
    tp.serial.inject(QByteArray(1, '\x55')); // a stray byte ends the first stage
    // The block's last byte lands 20 ms after the 1500 ms deadline, inside the disconnect's
    // 50 ms pause.
    const QByteArray block = SimAmplifier::BlockFrame(0, SimAmplifier::DefaultImage());
    const double injectAtMs =
        firstWriteEndMs() + 1500 + 20 - VirtualSerialDevice::ByteTimeUs(block.size()) / 1000.0;
    ASSERT_TRUE(tp.runUntil([&] { return nowMs() >= injectAtMs; }, 2000));
    tp.serial.inject(block);
    ASSERT_TRUE(waitForMessage(2000));
    tp.advance(500);
    EXPECT_EQ(tp.dialogs.messages(), QStringList{kOvertime});
    EXPECT_EQ(caption(), "Disconnect");
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_EQ(app.model.imageName.size(), 20) << "the late block was applied";
    EXPECT_TRUE(app.window.portSelector()->isEnabled());
}

TEST_F(AppTest, disconnect_namesArrivingDuringItsPauseDoNotRestartPolling) {
    bool namesRead = false;
    app.link.dispatcher.hooks().namesReceived = [&](const PresetNames&) { namesRead = true; };
    tp.sim.faults.noNames = true;
    clickConnect();
    ASSERT_TRUE(tp.runUntil([&] { return tp.serial.writes().size() == 2; }, 2000));
    // The names come late, and the user disconnects just before their last byte: it lands
    // inside the disconnect's pause, where the reply is handled.
    const QByteArray names = SimAmplifier::BuildFrame(0x52, 0, 0x26, 0, QByteArray(400, 'n'));
    const double namesEndMs = nowMs() + VirtualSerialDevice::ByteTimeUs(names.size()) / 1000.0;
    tp.serial.inject(names);
    ASSERT_TRUE(
        tp.runUntil([&] { return nowMs() >= namesEndMs - Connection::kDisconnectPauseMs; }, 1000));
    ASSERT_FALSE(namesRead);
    clickConnect();
    ASSERT_TRUE(namesRead);
    EXPECT_FALSE(app.link.transport.LinkUp);
    for (TimerId id : {TimerId::Timer1, TimerId::sendTimer, TimerId::intimer})
        EXPECT_FALSE(tp.clock.isActive(id)) << TimerName(id);

    // The next connect reads its block undisturbed by polls and ends without a message.
    tp.sim.faults.noNames = false;
    const auto writes = tp.serial.writes().size();
    tp.advance(1000);
    EXPECT_EQ(tp.serial.writes().size(), writes);
    connectAndWait();
    EXPECT_TRUE(tp.dialogs.messages().isEmpty()) << tp.dialogs.messages().join('|').toStdString();
    ASSERT_GE(tp.serial.writes().size(), writes + 2);
    EXPECT_EQ(tp.serial.writes()[writes].bytes, LiveBlockRequest());
    EXPECT_EQ(tp.serial.writes()[writes + 1].bytes, NamesRequest());
}
