#include <gtest/gtest.h>

#include <QString>

#include "sim/sim_amplifier.h"

namespace zx {
namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}
QString HexOf(const QByteArray& b) {
    return QString::fromLatin1(b.toHex().toUpper());
}

// Feeds a frame byte by byte; everything the device answers, in order.
std::vector<QByteArray> Feed(SimAmplifier& sim, const QByteArray& bytes, std::int64_t nowMs = 0) {
    std::vector<QByteArray> out;
    for (char c : bytes)
        for (const auto& o : sim.receive(std::uint8_t(c), nowMs)) out.push_back(o.bytes);
    return out;
}

const QByteArray kAck = Hex("A5A5A50051000000000051AA");

TEST(SimAmplifier, defaultImageHoldsEveryDefault) {
    const QString img = HexOf(SimAmplifier::DefaultImage());
    ASSERT_EQ(img.size(), 1104);
    EXPECT_EQ(img.mid(0, 16), "0000780000000000");  // In left, block 0
    EXPECT_EQ(img.mid(16, 16), "0000F00000000000"); // crossover
    EXPECT_EQ(img.mid(32, 16), "0000780078000400"); // band 1
    EXPECT_EQ(img.mid(48, 4), "2100");
    EXPECT_EQ(img.mid(32 + 5 * 16, 4), "8800");
    EXPECT_EQ(img.mid(32 + 7 * 16, 4), "AE00");
    EXPECT_EQ(img.mid(2 * 160, 48), "0000780000000000"
                                    "0000F00000000000"
                                    "0000000000000000");
    EXPECT_EQ(img.mid(2 * 184, 16), "0000780078000400"); // Out left band 1 after its limiter
    EXPECT_EQ(img.mid(2 * 504, 16), "AE00780078000400"); // band 47
    EXPECT_EQ(img.right(80), QString(80, '0'));
}

TEST(SimAmplifier, requestsAreAnsweredAsTheDeviceDoes) {
    SimAmplifier sim;
    sim.setSlot(5, QByteArray(552, char(0x05)), "ABC");

    auto block = Feed(sim, Hex("A5A5A500A200280000008AAA"));
    ASSERT_EQ(block.size(), 1u);
    ASSERT_EQ(block[0].size(), 564);
    EXPECT_EQ(HexOf(block[0].left(10)), "A5A5A500520028000228");
    std::uint8_t x = 0;
    for (int i = 3; i < 562; ++i) x ^= std::uint8_t(block[0][i]);
    EXPECT_EQ(std::uint8_t(block[0][562]), x);
    EXPECT_EQ(std::uint8_t(block[0][563]), 0xAA);
    EXPECT_EQ(block[0].mid(10, 552), SimAmplifier::DefaultImage());

    auto poll = Feed(sim, Hex("A5A5A500A2002B00000089AA"));
    ASSERT_EQ(poll.size(), 1u);
    EXPECT_EQ(HexOf(poll[0].left(10)), "A5A5A50052002B000008");
    EXPECT_EQ(poll[0].size(), 20);
    sim.longPollAnswer = true;
    EXPECT_EQ(Feed(sim, Hex("A5A5A500A2002B00000089AA"))[0].size(), 32);

    auto names = Feed(sim, Hex("A5A5A500A2002600000084AA"));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), 412);
    EXPECT_EQ(HexOf(names[0].left(10)), "A5A5A500520026000190");
    EXPECT_EQ(names[0].mid(10 + 4 * 20, 20), QByteArray("ABC").append(17, '\0'));

    auto recall = Feed(sim, Hex("A5A5A500A205280000008FAA"));
    ASSERT_EQ(recall.size(), 1u);
    EXPECT_EQ(HexOf(recall[0].left(10)), "A5A5A500520528000228");
    EXPECT_EQ(recall[0].mid(10, 552), QByteArray(552, char(0x05)));
    EXPECT_EQ(sim.liveImage(), QByteArray(552, char(0x05)));
    EXPECT_EQ(sim.lastRecalled(), 5);
}

TEST(SimAmplifier, aRecallMayCarryTheLastRecalledReport) {
    const QByteArray recall1 = Hex("A5A5A500A201280000008BAA");
    const QByteArray report = Hex("A5A5A50052002100000801"
                                  "00000000000000"
                                  "7AAA");
    for (auto where : {RecallReport::Before, RecallReport::After}) {
        SimAmplifier sim;
        sim.recallReport = where;
        std::vector<SimAmplifier::Output> out;
        for (char c : recall1)
            for (auto& o : sim.receive(std::uint8_t(c), 0)) out.push_back(o);
        ASSERT_EQ(out.size(), 2u);
        const auto& first = out[where == RecallReport::Before ? 0 : 1];
        EXPECT_EQ(first.bytes, report);
        // After the block, the report waits so that the block is read alone.
        if (where == RecallReport::After) {
            EXPECT_GE(out[1].gapMs, 100);
        }
    }
}

TEST(SimAmplifier, writesChangeTheImageAndAreAcknowledged) {
    SimAmplifier sim;
    // Out left: routing A+B, delay 960 steps.
    EXPECT_EQ(Feed(sim, Hex("A5A5A500A10002000008"
                            "00007803C0030000"
                            "13AA")),
              std::vector<QByteArray>{kAck});
    EXPECT_EQ(HexOf(sim.liveImage().mid(160, 8)), "00007803C0030000");
    // EQ band 1 of Out left is block 3.
    EXPECT_EQ(Feed(sim, Hex("A5A5A500A10002030008"
                            "0000780078000400"
                            "ACAA"))
                  .size(),
              1u);
    EXPECT_EQ(HexOf(sim.liveImage().mid(184, 8)), "0000780078000400");

    // The name store keeps the live image and the name in the slot.
    const QByteArray store = Hex("A5A5A500A10127000014"
                                 "42617373"
                                 "00000000000000000000000000000000"
                                 "B0AA");
    ASSERT_EQ(store.size(), 32);
    EXPECT_EQ(Feed(sim, store), std::vector<QByteArray>{kAck});
    EXPECT_EQ(sim.slotName(1), QByteArray("Bass").append(16, '\0'));
    EXPECT_EQ(sim.slotImage(1).left(532), sim.liveImage().left(532));
    EXPECT_EQ(sim.slotImage(1).mid(532), QByteArray("Bass").append(16, '\0'));

    // The live block write replaces the image.
    QByteArray image(552, char(0x01));
    std::uint8_t x = 0xA3;
    for (char c : image) x ^= std::uint8_t(c);
    QByteArray write = Hex("A5A5A500A10028000228") + image;
    write.append(char(x)).append(char(0xAA));
    EXPECT_EQ(Feed(sim, write), std::vector<QByteArray>{kAck});
    EXPECT_EQ(sim.liveImage(), image);
    EXPECT_EQ(sim.framesFromPc().size(), 4u);
}

TEST(SimAmplifier, damagedFramesAreCountedAndLeftUnanswered) {
    SimAmplifier sim;
    const std::vector<QByteArray> damaged = {
        Hex("A5A5A500A200280000008BAA"), // checksum
        Hex("A5A5A500A200280000008A55"), // tail
        Hex("A5A5A500A2002800FFFF"),     // no such length
    };
    for (const auto& f : damaged) EXPECT_TRUE(Feed(sim, f).empty());
    EXPECT_EQ(sim.damagedFrames(), 3);
    // Noise before a frame is skipped.
    EXPECT_EQ(Feed(sim, Hex("00A5A511A5A5A500A2002B00000089AA")).size(), 1u);
    EXPECT_EQ(sim.liveImage(), SimAmplifier::DefaultImage());
}

TEST(SimAmplifier, faultBehaviours) {
    const QByteArray blockReq = Hex("A5A5A500A200280000008AAA");
    const QByteArray namesReq = Hex("A5A5A500A2002600000084AA");
    const QByteArray recallReq = Hex("A5A5A500A201280000008BAA");
    const QByteArray paramWrite = Hex("A5A5A500A10000000008"
                                      "0000780000000000"
                                      "D1AA");
    {
        SimAmplifier sim;
        sim.faults.silent = true;
        for (const auto& f : {blockReq, namesReq, recallReq, paramWrite})
            EXPECT_TRUE(Feed(sim, f).empty());
    }
    {
        SimAmplifier sim;
        sim.faults.noNames = true;
        EXPECT_EQ(Feed(sim, blockReq).size(), 1u);
        EXPECT_TRUE(Feed(sim, namesReq).empty());
    }
    {
        SimAmplifier sim;
        sim.faults.garbageBlock = true;
        const auto out = Feed(sim, blockReq);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_NE(out[0].size(), 564);
        EXPECT_FALSE(out[0].startsWith(Hex("A5A5A5")));
    }
    {
        SimAmplifier sim;
        sim.faults.noAcks = true;
        EXPECT_TRUE(Feed(sim, paramWrite).empty());
    }
    {
        SimAmplifier sim;
        sim.faults.ignoreRecalls = true;
        EXPECT_TRUE(Feed(sim, recallReq).empty());
        EXPECT_EQ(Feed(sim, blockReq).size(), 1u);
    }
    {
        SimAmplifier sim;
        sim.faults.silentFromMs = 3000;
        EXPECT_EQ(Feed(sim, blockReq, 2999).size(), 1u);
        EXPECT_TRUE(Feed(sim, blockReq, 3000).empty());
    }
}

} // namespace
} // namespace zx
