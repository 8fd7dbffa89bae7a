#include "replies/reply_fixture.h"

#include "model/preset_image.h"

namespace zx::replytest {
namespace {

QString Ack00() {
    return HexOf(DeviceFrame(0x51, 0, 0x00, 0, {}));
}
QString Ack21() {
    return HexOf(DeviceFrame(0x51, 0, 0x21, 0, {}));
}
QString ShortPoll() {
    return HexOf(DeviceFrame(0x52, 0, 0x2B, 0, QByteArray(8, '\x11')));
}
QString LongPoll() {
    return HexOf(DeviceFrame(0x52, 0, 0x2B, 0, QByteArray(20, '\x22')));
}
QString LastRecalled(int n) {
    QByteArray payload(8, 0);
    payload[0] = char(n);
    payload[1] = 7;
    return HexOf(DeviceFrame(0x52, 0, 0x21, 0, payload));
}
QString NamesReply(const QByteArray& fields, std::uint8_t index = 0) {
    return HexOf(DeviceFrame(0x52, index, 0x26, 0, fields));
}

// An image with a few fields away from the defaults, so applying it is visible.
QByteArray MarkedImage() {
    ParameterModel m;
    m.channels[2].gainIndex = 77;
    m.outputs[1].routeSource = 3;
    m.bands[9].freqIndex = 150;
    return ImageBytes(m);
}

TEST(LastLoadGroupText, NamesUserAndFactoryPresets) {
    const struct {
        unsigned n;
        const char* text;
    } rows[] = {{3, "Usr3"}, {10, "Usr10"}, {11, "Pre1"}, {12, "Pre2"}, {0, "Usr0"}, {25, "Pre15"}};
    for (const auto& r : rows)
        EXPECT_EQ(ReplyDispatcher::LastLoadGroupText(r.n), QStringLiteral("The last load group:") +
                                                               QLatin1StringView(r.text) +
                                                               QStringLiteral("         "))
            << r.n;
}

TEST_F(ReplyTest, AnyReceivedByteStopsTheFirstHandshakeStageAndThePollWatchdog) {
    p.clock.start(TimerId::chcon);
    p.clock.start(TimerId::intimer);
    p.clock.start(TimerId::chcon112);
    Receive(QStringLiteral("00"));
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon));
    EXPECT_FALSE(p.clock.isActive(TimerId::intimer));
    EXPECT_TRUE(p.clock.isActive(TimerId::chcon112));
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());

    // Also a call that read nothing.
    p.clock.start(TimerId::intimer);
    dispatcher.DispatchReplies();
    EXPECT_FALSE(p.clock.isActive(TimerId::intimer));
}

TEST_F(ReplyTest, BufferRulesEmptyNoiseAndOverlongBuffers) {
    const QString sync = QStringLiteral("A5A5A5");
    const struct {
        QString buffer;
        bool emptied;
    } rows[] = {
        {QStringLiteral("0052") + Ack00(), true},
        {QStringLiteral("A5A5"), true},
        {QStringLiteral("A5A5A500"), false},
        {sync + QString(1493, QLatin1Char('0')), false}, // 1499 characters
        {sync + QString(1494, QLatin1Char('0')), true},  // 1500
        {sync + QString(1495, QLatin1Char('0')), true},
    };
    for (const auto& r : rows) {
        transport.RxHexBuffer = r.buffer;
        dispatcher.DispatchReplies();
        EXPECT_EQ(transport.RxHexBuffer, r.emptied ? QString() : r.buffer) << r.buffer.size();
    }
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(ReplyTest, ReportAndAcknowledgementAreHandledInOneCall) {
    Receive(LastRecalled(11) + Ack00());
    ASSERT_EQ(statusTexts.size(), 1u);
    EXPECT_EQ(statusTexts[0], QStringLiteral("The last load group:Pre1         "));
    EXPECT_EQ(events, QStringList{QStringLiteral("ack")});
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
}

TEST_F(ReplyTest, EveryCompleteReplyIsTakenInOneCall) {
    // Whatever the order, nothing complete waits for a next call that may never come.
    const struct {
        const char* name;
        QString bytes;
        int acks;
        int reports;
    } rows[] = {
        {"fixed order", LongPoll() + LastRecalled(4) + Ack21() + Ack00(), 1, 1},
        {"two acknowledgements", Ack00() + Ack00(), 2, 0},
        {"report behind an acknowledgement", Ack00() + LastRecalled(2), 1, 1},
        {"acknowledgement behind a short poll answer", ShortPoll() + Ack00(), 1, 0},
        {"two poll answers, then an acknowledgement", ShortPoll() + LongPoll() + Ack00(), 1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        events.clear();
        statusTexts.clear();
        Receive(r.bytes);
        EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
        EXPECT_EQ(events.count(QStringLiteral("ack")), r.acks);
        EXPECT_EQ(int(statusTexts.size()), r.reports);
    }
}

TEST_F(ReplyTest, AnUnknownFrameStopsTheCallAndKeepsWhatFollows) {
    const QString unknown = HexOf(DeviceFrame(0x52, 0, 0x99, 0, QByteArray(8, 0)));
    Receive(Ack00() + unknown + Ack00());
    EXPECT_EQ(transport.RxHexBuffer, unknown + Ack00());
    EXPECT_EQ(events, QStringList{QStringLiteral("ack")});
}

TEST_F(ReplyTest, BlockInTwoReadsIsAppliedAndFollowedByOneNamesRequest) {
    const QString block = BlockText(MarkedImage());
    ASSERT_EQ(block.size(), 1128);
    p.clock.start(TimerId::chcon112);
    p.clock.start(TimerId::chcon188);
    p.clock.start(TimerId::Timer10);
    transport.LinkUp = true;
    model.channels[0].mute = 1;
    sendSlots.BuildChannelSettings(0);

    Receive(block.left(1000));
    EXPECT_EQ(model.channels[2].gainIndex, 120);
    EXPECT_TRUE(p.clock.isActive(TimerId::chcon112));
    EXPECT_EQ(transport.RxHexBuffer.size(), 1000);

    Receive(block.mid(1000));
    EXPECT_EQ(model.channels[2].gainIndex, 77);
    EXPECT_EQ(model.outputs[1].routeSource, 3);
    EXPECT_EQ(model.bands[9].freqIndex, 150);
    EXPECT_EQ(model.channels[0].mute, 0);
    EXPECT_FALSE(sendSlots.AnyPending());
    EXPECT_TRUE(transport.LinkUp);
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon112));
    EXPECT_FALSE(p.clock.isActive(TimerId::Timer10));
    EXPECT_TRUE(p.clock.isActive(TimerId::chcon188));
    EXPECT_EQ(events, (QStringList{QStringLiteral("deviceBlockApplied"),
                                   QStringLiteral("handshakeBlockApplied")}));
    EXPECT_EQ(WritesOf(NamesRequest()), 1);
    EXPECT_EQ(p.serial.writes().size(), 1u);
    // Polling and sending wait for the names.
    EXPECT_FALSE(p.clock.isActive(TimerId::Timer1));
    EXPECT_FALSE(p.clock.isActive(TimerId::sendTimer));
}

TEST_F(ReplyTest, BlockIsTakenOnlyAtExactlyItsLength) {
    transport.LinkUp = true;
    const QString block = BlockText(MarkedImage());
    Receive(block + QStringLiteral("00"));
    EXPECT_EQ(transport.RxHexBuffer.size(), 1130);
    EXPECT_EQ(model.channels[2].gainIndex, 120);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(WritesOf(NamesRequest()), 0);
    // More bytes never bring it back to 1128; it goes with the 1500-character rule.
    Receive(QString(400, QLatin1Char('0')));
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_EQ(model.channels[2].gainIndex, 120);
}

TEST_F(ReplyTest, BlockOfARecalledSlotCountsLikeTheLiveBlock) {
    transport.LinkUp = true;
    Receive(BlockText(MarkedImage(), 5));
    EXPECT_EQ(model.channels[2].gainIndex, 77);
}

TEST_F(ReplyTest, UnknownFrameStaysUntilTheBufferIsEmptied) {
    const QString unknown = HexOf(DeviceFrame(0x52, 0, 0x99, 0, QByteArray(8, 0)));
    Receive(unknown);
    EXPECT_EQ(transport.RxHexBuffer, unknown);
    // What arrives behind it piles up and is lost with it.
    Receive(Ack00());
    EXPECT_EQ(transport.RxHexBuffer, unknown + Ack00());
    EXPECT_TRUE(events.isEmpty());
    while (!transport.RxHexBuffer.isEmpty() && transport.RxHexBuffer.size() < 1500)
        Receive(ShortPoll());
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(ReplyTest, BlockEndsARecallOrAsksForTheNames) {
    // A block that answers a recall ends it; one arriving after the recall timed out is
    // taken like the end of connecting.
    for (bool recall : {true, false}) {
        SCOPED_TRACE(recall);
        recallPending = recall;
        events.clear();
        transport.LinkUp = true;
        p.clock.start(TimerId::Timer2);
        p.clock.start(TimerId::Timer3);
        p.clock.stop(TimerId::Timer1);
        p.clock.stop(TimerId::sendTimer);
        const int requestsBefore = WritesOf(NamesRequest());

        Receive(BlockText(MarkedImage()));
        EXPECT_EQ(model.channels[2].gainIndex, 77);
        EXPECT_FALSE(recallPending);
        EXPECT_EQ(WritesOf(NamesRequest()) - requestsBefore, recall ? 0 : 1);
        EXPECT_EQ(p.clock.isActive(TimerId::Timer1), recall);
        EXPECT_EQ(p.clock.isActive(TimerId::sendTimer), recall);
        EXPECT_EQ(p.clock.isActive(TimerId::Timer2), !recall);
        EXPECT_EQ(p.clock.isActive(TimerId::Timer3), !recall);
        EXPECT_EQ(events, (QStringList{QStringLiteral("deviceBlockApplied"),
                                       recall ? QStringLiteral("recallEnded")
                                              : QStringLiteral("handshakeBlockApplied")}));
        model.channels[2].gainIndex = 120;
    }
}

TEST_F(ReplyTest, BlockRequestedForAFileGoesToTheSaveHookUnapplied) {
    savePending = true;
    transport.LinkUp = true;
    p.clock.start(TimerId::chcon112);
    const QString block = BlockText(MarkedImage());
    Receive(block);
    ASSERT_EQ(savedTexts.size(), 1u);
    EXPECT_EQ(savedTexts[0], block);
    EXPECT_EQ(model.channels[2].gainIndex, 120);
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon112));
    EXPECT_TRUE(p.clock.isActive(TimerId::Timer1));
    EXPECT_TRUE(p.clock.isActive(TimerId::sendTimer));
    EXPECT_EQ(events, QStringList{QStringLiteral("savedBlock")});
    EXPECT_EQ(WritesOf(NamesRequest()), 0);
}

TEST_F(ReplyTest, NamesReplyHandsOverTwentyFieldsAndStartsPollingAndSending) {
    QByteArray fields(400, 0);
    fields.replace(20 * 4, 3, "ABC");
    fields.replace(20 * 16, 19, "Slot seventeen name");
    fields.replace(20 * 19, 20, "twenty characters!!!");
    const QString reply = NamesReply(fields);
    ASSERT_EQ(reply.size(), 824);
    // Slot 17's field is characters 661..700.
    EXPECT_EQ(reply.mid(660, 40), HexOf("Slot seventeen name") + QStringLiteral("00"));
    p.clock.start(TimerId::chcon188);

    Receive(reply.left(800));
    EXPECT_TRUE(names.empty());
    Receive(reply.mid(800) + Ack00());
    ASSERT_EQ(names.size(), 1u);
    const PresetNames& n = names[0];
    EXPECT_EQ(n[4], QStringLiteral("ABC") + QString(17, QChar(0)));
    EXPECT_EQ(n[16], QStringLiteral("Slot seventeen name") + QString(1, QChar(0)));
    EXPECT_EQ(n[19], QStringLiteral("twenty characters!!!"));
    EXPECT_EQ(n[11], QString(20, QChar(0)));
    // The acknowledgement behind the names goes with them.
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_EQ(events, QStringList{QStringLiteral("namesReceived")});
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon188));
    EXPECT_TRUE(p.clock.isActive(TimerId::Timer1));
    EXPECT_TRUE(p.clock.isActive(TimerId::sendTimer));
}

TEST_F(ReplyTest, NamesReplyForAnotherIndexIsNotTaken) {
    const QString reply = NamesReply(QByteArray(400, 'x'), 1);
    Receive(reply);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(transport.RxHexBuffer, reply);
}

} // namespace
} // namespace zx::replytest

namespace zx::replytest {
namespace {

// The connect exchange on the virtual line: the block arrives over many reads, is applied
// once whole, and the names it brings on start polling and sending.
TEST_F(ReplyTest, BlockAndNamesFromTheSimulatedAmplifierCompleteTheExchange) {
    p.sim.faults.silent = false;
    p.sim.setLiveImage(MarkedImage());
    p.sim.setSlot(3, p.sim.slotImage(3), QByteArray("Stage"));
    transport.StartReader();
    transport.setDispatcher([this] { dispatcher.DispatchReplies(); });
    p.clock.start(TimerId::chcon112);
    p.clock.start(TimerId::chcon188);

    transport.SendBuffer = LiveBlockRequest();
    transport.WritePort();
    ASSERT_TRUE(p.runUntil([this] { return !names.empty(); }, 2500));

    EXPECT_EQ(model.channels[2].gainIndex, 77);
    EXPECT_EQ(model.bands[9].freqIndex, 150);
    EXPECT_EQ(names[0][2].left(5), QStringLiteral("Stage"));
    EXPECT_EQ(WritesOf(NamesRequest()), 1);
    EXPECT_EQ(events, (QStringList{QStringLiteral("deviceBlockApplied"),
                                   QStringLiteral("handshakeBlockApplied"),
                                   QStringLiteral("namesReceived")}));
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon112));
    EXPECT_FALSE(p.clock.isActive(TimerId::chcon188));
    EXPECT_TRUE(p.clock.isActive(TimerId::Timer1));
    EXPECT_TRUE(p.clock.isActive(TimerId::sendTimer));
}

// A block whose checksum or tail was damaged on the line is never applied nor saved: it is
// discarded and reported, so that whoever waits can ask again. The short replies are read by
// their key only, as the device's own answers to them carry nothing that could be wrong.
TEST_F(ReplyTest, DamagedBlockIsDiscardedShortRepliesAreTakenByTheirKey) {
    struct Case {
        const char* name;
        QByteArray frame;
        QString event;
        bool save = false;
    };
    QByteArray changedByte = DeviceFrame(0x52, 0, 0x28, 0, MarkedImage());
    changedByte[10 + 200] = char(changedByte[10 + 200] ^ 0x01);
    const Case cases[] = {
        {"block", DeviceFrame(0x52, 0, 0x28, 0, MarkedImage()), "blockDamaged"},
        {"block for a file", DeviceFrame(0x52, 0, 0x28, 0, MarkedImage()), "blockDamaged", true},
        {"names", DeviceFrame(0x52, 0, 0x26, 0, QByteArray(400, 'n')), "namesReceived"},
        {"acknowledgement", DeviceFrame(0x51, 0, 0, 0, {}), "ack"},
    };
    dispatcher.hooks().blockDamaged = [this] { events << QStringLiteral("blockDamaged"); };
    for (const Case& c : cases) {
        for (int damaged : {1, 2}) { // last byte: the tail; last but one: the checksum
            SCOPED_TRACE(std::string(c.name) + (damaged == 1 ? " tail" : " checksum"));
            events.clear();
            transport.LinkUp = true;
            savePending = c.save;
            QByteArray frame = c.frame;
            frame[frame.size() - damaged] = char(frame[frame.size() - damaged] ^ 0x5A);
            Receive(HexOf(frame));
            EXPECT_EQ(events.join(',').toStdString(), c.event.toStdString());
            EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
        }
    }
    SCOPED_TRACE("a payload byte changed after the checksum was made");
    events.clear();
    Receive(HexOf(changedByte));
    EXPECT_EQ(events, QStringList{QStringLiteral("blockDamaged")});
    EXPECT_TRUE(savedTexts.empty());
    EXPECT_EQ(model.channels[2].gainIndex, 120);
    EXPECT_EQ(WritesOf(NamesRequest()), 0);
}

} // namespace
} // namespace zx::replytest
