#include <gtest/gtest.h>

#include "link/frame.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"

using namespace zx;

namespace {

QByteArray Bytes(const char* hexWithSpaces) {
    return QByteArray::fromHex(QByteArray(hexWithSpaces));
}

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace

TEST(Frame, requestsAreTwelveBytesWithTheHeaderChecksum) {
    const struct {
        const char* what;
        QByteArray frame;
        const char* expected;
    } cases[] = {
        {"live block", LiveBlockRequest(), "A5 A5 A5 00 A2 00 28 00 00 00 8A AA"},
        {"poll", PollRequest(), "A5 A5 A5 00 A2 00 2B 00 00 00 89 AA"},
        {"names", NamesRequest(), "A5 A5 A5 00 A2 00 26 00 00 00 84 AA"},
        {"recall 1", RecallRequest(1), "A5 A5 A5 00 A2 01 28 00 00 00 8B AA"},
        {"recall 20", RecallRequest(20), "A5 A5 A5 00 A2 14 28 00 00 00 9E AA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame.size(), kRequestFrameSize) << c.what;
        EXPECT_EQ(Hex(c.frame), c.expected) << c.what;
    }
}

TEST(Frame, parameterWritesFromTheModel) {
    ParameterModel m;
    ParameterModel outLeftEdited;
    outLeftEdited.output(2).routeSource = 3;
    outLeftEdited.channels[2].delaySteps = 960;
    RefreshHalves(outLeftEdited.channels[2]);

    const struct {
        const char* what;
        QByteArray frame;
        const char* expected;
    } cases[] = {
        {"In left settings", ChannelSettingsFrame(m, 0),
         "A5 A5 A5 00 A1 00 00 00 00 08 00 00 78 00 00 00 00 00 D1 AA"},
        {"Out left A+B, delay 960", ChannelSettingsFrame(outLeftEdited, 2),
         "A5 A5 A5 00 A1 00 02 00 00 08 00 00 78 03 C0 03 00 00 13 AA"},
        {"In left crossover", CrossoverFrame(m, 0),
         "A5 A5 A5 00 A1 00 00 01 00 08 00 00 F0 00 00 00 00 00 58 AA"},
        {"Out left limiter", LimiterFrame(m, 2),
         "A5 A5 A5 00 A1 00 02 02 00 08 00 00 00 00 00 00 00 00 A9 AA"},
        {"In left band 1", EqBandFrame(m, BandId(0, 0)),
         "A5 A5 A5 00 A1 00 00 02 00 08 00 00 78 00 78 00 04 00 AF AA"},
        {"Out left band 1", EqBandFrame(m, BandId(2, 0)),
         "A5 A5 A5 00 A1 00 02 03 00 08 00 00 78 00 78 00 04 00 AC AA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame.size(), kParameterFrameSize) << c.what;
        EXPECT_EQ(Hex(c.frame), c.expected) << c.what;
    }
}

TEST(Frame, parameterPayloadsMatchTheImageGroups) {
    ParameterModel m;
    m.channels[1].mute = 1;
    m.channels[1].polarity = 1;
    m.channels[1].bypass = 1;
    m.channels[4].hpfFreqIndex = 77;
    m.channels[4].lpfType = 11;
    m.output(5).limiterThresholdIndex = 60;
    m.output(5).limiterAttackIndex = 106;
    m.output(5).limiterReleaseIndex = 5;
    m.output(5).limiterRatioIndex = 8;
    EqBandParams& b = m.band(3, 6);
    b.type = 2;
    b.freqIndex = 200;
    b.qIndex = 179;
    b.peakGainIndex = 10;
    b.shelfGainIndex = 180;
    RefreshHalves(b);

    const QByteArray image = ImageBytes(m);
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const int base = ChannelBlockOffset(ch);
        EXPECT_EQ(ChannelSettingsPayload(m, ch), image.mid(base, 8)) << ch;
        EXPECT_EQ(CrossoverPayload(m, ch), image.mid(base + 8, 8)) << ch;
        if (IsOutputChannel(ch)) {
            EXPECT_EQ(LimiterPayload(m, ch), image.mid(base + 16, 8)) << ch;
        }
        for (int k = 0; k < kBandsPerChannel; ++k) {
            const EqBandId id = BandId(ch, k);
            EXPECT_EQ(EqBandPayload(m, id), image.mid(BandRecordOffset(id), 8)) << id;
            EXPECT_EQ(EqBandFrame(m, id)[7], static_cast<char>(EqBandBlock(ch, k))) << id;
            EXPECT_EQ(EqBandFrame(m, id)[6], static_cast<char>(ch)) << id;
        }
    }
    EXPECT_EQ(Hex(EqBandPayload(m, BandId(3, 6))), "C8 02 0A 00 B4 00 B3 00");
    EXPECT_EQ(Hex(ChannelSettingsPayload(m, 1)), "01 01 78 00 00 00 01 00");
}

TEST(Frame, inputChannelsCarryNoRoutingAndNoLimiter) {
    ParameterModel m;
    EXPECT_EQ(ChannelSettingsPayload(m, 0)[3], '\0');
    EXPECT_EQ(ChannelSettingsPayload(m, 1)[3], '\0');
    // Block 2 of an input is its first band: a limiter frame there would overwrite it.
    EXPECT_TRUE(LimiterFrame(m, 0).isEmpty());
    EXPECT_TRUE(LimiterFrame(m, 1).isEmpty());
    EXPECT_TRUE(LimiterPayload(m, 1).isEmpty());
}

TEST(Frame, outOfRangeValuesGoOutAsHeld) {
    ParameterModel m;
    m.output(3).routeSource = 200;
    m.output(3).limiterAttackIndex = 250;
    EXPECT_EQ(static_cast<std::uint8_t>(ChannelSettingsPayload(m, 3)[3]), 200);
    EXPECT_EQ(static_cast<std::uint8_t>(LimiterPayload(m, 3)[1]), 250);
}

TEST(Frame, sixteenBitFieldsGoOutFromTheirHalves) {
    ParameterModel m;
    // Halves not yet refreshed after an edit: the frame sends what the halves hold.
    m.channels[0].delaySteps = 500;
    EXPECT_EQ(Hex(ChannelSettingsPayload(m, 0).mid(4, 2)), "00 00");
    RefreshHalves(m.channels[0]);
    EXPECT_EQ(Hex(ChannelSettingsPayload(m, 0).mid(4, 2)), "F4 01");
}

TEST(Frame, storeNameIsZeroFilledToTwenty) {
    const QByteArray bass = StoreNameFrame(1, QByteArray("Bass"));
    EXPECT_EQ(bass.size(), kNameStoreFrameSize);
    EXPECT_EQ(bass, Bytes("A5A5A500A101270000144261737300000000000000000000000000000000B0AA"));

    // A typed name: one Latin-1 byte per character.
    EXPECT_EQ(StoreNameFrame(1, QStringView(u"Bass")), bass);
    const QByteArray umlaut = StoreNameFrame(2, QStringView(u"\u00C4b"));
    EXPECT_EQ(umlaut.mid(10, 3), Bytes("C46200"));

    // Longer names are cut to the field.
    const QByteArray longName = StoreNameFrame(20, QStringView(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(longName.size(), kNameStoreFrameSize);
    EXPECT_EQ(longName.mid(10, 20), QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(longName[5], '\x14');
    EXPECT_EQ(static_cast<std::uint8_t>(longName[30]), FrameChecksum(longName.left(30)));
}

TEST(Frame, buildFrameCoversHeaderAndPayloadButNotSyncOrTail) {
    const QByteArray f = BuildFrame(0xA1, 0x05, 0x27, 0x00, QByteArray(300, '\x01'));
    ASSERT_EQ(f.size(), 312);
    EXPECT_EQ(Hex(f.left(10)), "A5 A5 A5 00 A1 05 27 00 01 2C"); // length high byte first
    EXPECT_EQ(static_cast<std::uint8_t>(f[310]), 0xA1 ^ 0x05 ^ 0x27 ^ 0x01 ^ 0x2C);
    EXPECT_EQ(static_cast<std::uint8_t>(f[311]), kTail);
}

TEST(Frame, blockWriteIsHeaderAndBodyWithAFreshChecksum) {
    EXPECT_EQ(Hex(BlockWriteHeader()), "A5 A5 A5 00 A1 00 28 00 02 28");

    ParameterModel m;
    m.channels[2].gainIndex = 17;
    m.band(5, 7).qIndex = 99;
    QString text = WriteImageText(m); // checksum "00"
    text.replace(6, 2, "7F");         // an address byte the body must not look at
    const std::optional<QByteArray> body = BlockWriteBody(text);
    ASSERT_TRUE(body.has_value());
    ASSERT_EQ(body->size(), 554);
    EXPECT_EQ(body->left(kImageSize), *ImagePayloadOfText(text));

    const QByteArray whole = BlockWriteHeader() + body->left(kImageSize);
    EXPECT_EQ(static_cast<std::uint8_t>((*body)[552]), FrameChecksum(whole));
    EXPECT_EQ(static_cast<std::uint8_t>((*body)[553]), kTail);
}

TEST(Frame, blockWriteBodyRejectsShortOrDamagedTexts) {
    const QString text = WriteImageText(ParameterModel{});
    EXPECT_FALSE(BlockWriteBody(QStringView(text).left(1127)).has_value());
    QString damaged = text;
    damaged[500] = u'X';
    EXPECT_FALSE(BlockWriteBody(damaged).has_value());
}

TEST(HexCodec, hexTextIsUppercaseAndZeroFilled) {
    const struct {
        unsigned value;
        int digits;
        const char* text;
    } cases[] = {{165, 2, "A5"},    {960, 4, "03C0"},        {0, 2, "00"},
                 {0, 4, "0000"},    {15, 2, "0F"},           {255, 1, "FF"},
                 {4096, 2, "1000"}, {0xABCDEF, 0, "ABCDEF"}, {120, 4, "0078"}};
    for (const auto& c : cases) EXPECT_EQ(HexText(c.value, c.digits), c.text) << c.value;
}

TEST(HexCodec, hexValueReadsEitherCase) {
    const std::pair<const char16_t*, unsigned> cases[] = {{u"0f", 15},
                                                          {u"0F", 15},
                                                          {u"A5", 165},
                                                          {u"aa", 170},
                                                          {u"03C0", 960},
                                                          {u"0", 0},
                                                          {u"FFFFFFFF", 0xFFFFFFFFu},
                                                          {u"00000000012", 0x12}};
    for (auto [text, value] : cases) {
        const auto v = HexValue(QStringView(text));
        ASSERT_TRUE(v.has_value()) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(*v, value);
    }
}

TEST(HexCodec, hexValueConversionErrors) {
    const char16_t* cases[] = {u"",   u"G1",  u" 1", u"1 ",     u"A 5",    u"+1",       u"-1",
                               u"0x", u"0x1", u"1.", u"\u0661", u"\uFF11", u"100000000"};
    for (const char16_t* text : cases)
        EXPECT_FALSE(HexValue(QStringView(text)).has_value())
            << QString::fromUtf16(text).toStdString();
}

TEST(ReplyKeys, matchTheHeadersOfTheDeviceReplies) {
    auto key = [](const QByteArray& frame) { return Hex(frame).remove(' ').mid(8, 12); };
    EXPECT_EQ(key(BuildFrame(0x52, 0, 0x2B, 0, QByteArray(8, 0))), kKeyPollShort);
    EXPECT_EQ(key(BuildFrame(0x52, 0, 0x2B, 0, QByteArray(20, 0))), kKeyPollLong);
    EXPECT_EQ(key(BuildFrame(0x52, 0, 0x21, 0, QByteArray(8, 0))), kKeyLastRecalled);
    EXPECT_EQ(key(BuildFrame(0x51, 0, 0x21, 0, {})), kKeyAck21);
    EXPECT_EQ(key(BuildFrame(0x51, 0, 0x00, 0, {})), kKeyAck00);
    EXPECT_EQ(key(BuildFrame(0x52, 0, 0x26, 0, QByteArray(400, 0))).left(6), kKeyNamesPrefix);
    EXPECT_EQ(key(BuildFrame(0x52, 7, 0x28, 0, QByteArray(552, 0))).mid(8, 4), kKeyBlockLength);
    EXPECT_EQ(Hex(BuildFrame(0x52, 0, 0x2B, 0, QByteArray(20, 0))).remove(' ').left(6), kSyncText);
    EXPECT_EQ(BuildFrame(0x52, 0, 0x2B, 0, QByteArray(8, 0)).size(), kPollShortSize);
    EXPECT_EQ(BuildFrame(0x52, 0, 0x2B, 0, QByteArray(20, 0)).size(), kPollLongSize);
    EXPECT_EQ(BuildFrame(0x52, 0, 0x26, 0, QByteArray(400, 0)).size(), kNamesMinSize);
}
