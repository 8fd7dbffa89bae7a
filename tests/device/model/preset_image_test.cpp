#include <gtest/gtest.h>

#include "link/frame.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"

#include <functional>
#include <random>

using namespace zx;

namespace {

// Characters of image byte p in a frame text, counted from 0.
int ImageChar(int p) {
    return kImageTextOffset + 2 * p;
}

QString WithImageByte(QString text, int p, const char* hex) {
    text.replace(ImageChar(p), 2, QLatin1StringView(hex));
    return text;
}

std::uint8_t Pick(std::mt19937& rng, int highest) {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, highest)(rng));
}

ParameterModel RandomValidModel(std::mt19937& rng) {
    ParameterModel m;
    for (ChannelParams& c : m.channels) {
        c.mute = Pick(rng, 1);
        c.polarity = Pick(rng, 1);
        c.gainIndex = Pick(rng, 240);
        c.delaySteps = std::uniform_int_distribution<std::uint16_t>(0, 960)(rng);
        RefreshHalves(c);
        c.bypass = 0; // a file carries no bypass state
        c.hpfFreqIndex = Pick(rng, 240);
        c.hpfType = Pick(rng, 11);
        c.lpfFreqIndex = Pick(rng, 240);
        c.lpfType = Pick(rng, 11);
    }
    for (OutputParams& o : m.outputs) {
        o.routeSource = Pick(rng, 3);
        o.limiterThresholdIndex = Pick(rng, 60);
        o.limiterAttackIndex = Pick(rng, 106);
        o.limiterReleaseIndex = Pick(rng, 5);
        o.limiterRatioIndex = Pick(rng, 8);
    }
    for (EqBandParams& b : m.bands) {
        b.freqIndex = Pick(rng, 240);
        b.type = Pick(rng, 2);
        b.peakGainIndex = Pick(rng, 180);
        b.shelfGainIndex = Pick(rng, 180);
        RefreshHalves(b);
        b.qIndex = Pick(rng, 179);
    }
    return m;
}

} // namespace

TEST(PresetImage, layoutOffsets) {
    const std::pair<ChannelId, int> blocks[] = {{0, 0},   {1, 80},  {2, 160},
                                                {3, 248}, {4, 336}, {5, 424}};
    for (auto [ch, offset] : blocks) EXPECT_EQ(ChannelBlockOffset(ch), offset) << ch;
    const std::pair<EqBandId, int> bands[] = {{0, 16},   {7, 72},   {8, 96},   {16, 184},
                                              {24, 272}, {32, 360}, {40, 448}, {47, 504}};
    for (auto [id, offset] : bands) EXPECT_EQ(BandRecordOffset(id), offset) << id;

    ParameterModel m;
    m.channels[3].gainIndex = 0x11;
    m.output(3).routeSource = 2;
    const QByteArray image = ImageBytes(m);
    EXPECT_EQ(image.size(), kImageSize);
    EXPECT_EQ(image[250], '\x11');
    EXPECT_EQ(image[251], '\x02');
}

TEST(PresetImage, writingTheDefaultModel) {
    const QString text = WriteImageText(ParameterModel{});
    ASSERT_EQ(text.size(), kBlockFrameTextSize);
    EXPECT_TRUE(text.startsWith("A5A5A500520028000228"));
    const std::pair<int, const char*> groups[] = {{0, "0000780000000000"},
                                                  {8, "0000F00000000000"},
                                                  {16, "0000780078000400"},
                                                  {24, "2100"},
                                                  {56, "8800"},
                                                  {72, "AE00"},
                                                  {160, "0000780000000000"},
                                                  {176, "0000000000000000"},
                                                  {184, "0000780078000400"}};
    for (auto [p, hex] : groups)
        EXPECT_EQ(text.mid(ImageChar(p), qstrlen(hex)), QLatin1StringView(hex)) << p;
    EXPECT_TRUE(text.endsWith(QString(80, u'0') + "00AA"));
}

TEST(PresetImage, writerDropsBypassAndNameAndComputesNoChecksum) {
    ParameterModel m;
    for (ChannelParams& c : m.channels) c.bypass = 1;
    m.imageName = "Stage";
    m.channels[4].delaySteps = 960;
    RefreshHalves(m.channels[4]);

    const QString text = WriteImageText(m);
    for (ChannelId ch = 0; ch < kChannelCount; ++ch)
        EXPECT_EQ(text.mid(ImageChar(ChannelBlockOffset(ch) + 6), 2), "00") << ch;
    EXPECT_EQ(text.mid(ImageChar(512), 80), QString(80, u'0'));
    EXPECT_EQ(text.mid(ImageChar(336 + 4), 4), "C003");
    EXPECT_EQ(text.right(4), "00AA");

    // The image bytes as held keep both.
    const QByteArray image = ImageBytes(m);
    EXPECT_EQ(image[6], '\x01');
    EXPECT_EQ(image.mid(532, 6), QByteArray("Stage\0", 6));
}

TEST(PresetImage, readingClampsOutOfRangeIndexes) {
    const QString base = WriteImageText(ParameterModel{});
    const struct {
        int imageByte;
        const char* hex;
        std::function<int(const ParameterModel&)> field;
        int expected;
    } cases[] = {
        {2, "F5", [](auto& m) { return m.channels[0].gainIndex; }, 240},
        {22, "B4", [](auto& m) { return m.bands[0].qIndex; }, 179},
        {22, "b3", [](auto& m) { return m.bands[0].qIndex; }, 179},
        {88, "FF", [](auto& m) { return m.channels[1].hpfFreqIndex; }, 240},
        {89, "0C", [](auto& m) { return m.channels[1].hpfType; }, 11},
        {170, "F1", [](auto& m) { return m.channels[2].lpfFreqIndex; }, 240},
        {171, "20", [](auto& m) { return m.channels[2].lpfType; }, 11},
        {504, "F3", [](auto& m) { return m.bands[47].freqIndex; }, 240},
        {505, "03", [](auto& m) { return m.bands[47].type; }, 2},
        {507, "01", [](auto& m) { return m.bands[47].peakGainIndex; }, 180},
        {506, "B5", [](auto& m) { return m.bands[47].peakGainIndex; }, 180},
        {509, "FF", [](auto& m) { return m.bands[47].shelfGainIndex; }, 180},
        {508, "B4", [](auto& m) { return m.bands[47].shelfGainIndex; }, 180},
        {508, "B3", [](auto& m) { return m.bands[47].shelfGainIndex; }, 179},
    };
    for (const auto& c : cases) {
        ParameterModel m;
        ASSERT_TRUE(ReadImageText(WithImageByte(base, c.imageByte, c.hex), m));
        EXPECT_EQ(c.field(m), c.expected) << c.imageByte << " " << c.hex;
    }
}

TEST(PresetImage, clampedGainsSendTheirClampedHalves) {
    ParameterModel m;
    QString text = WithImageByte(WriteImageText(m), 186, "C8"); // band 16 peak gain 200
    text = WithImageByte(text, 189, "02");                      // shelf gain 0x278
    ASSERT_TRUE(ReadImageText(text, m));
    EXPECT_EQ(m.bands[16].peakGainHalves, (ByteHalves{180, 0}));
    EXPECT_EQ(m.bands[16].shelfGainHalves, (ByteHalves{180, 0}));
    EXPECT_EQ(EqBandPayload(m, 16).mid(2, 4), QByteArray::fromHex("B400B400"));
}

TEST(PresetImage, unclampedFieldsAreStoredAsReceived) {
    QString text = WriteImageText(ParameterModel{});
    const std::pair<int, const char*> bytes[] = {{0, "07"},   {1, "02"},   {4, "E8"},   {5, "FD"},
                                                 {6, "01"},   {86, "09"},  {251, "C8"}, {264, "FF"},
                                                 {265, "C8"}, {266, "09"}, {267, "0A"}, {3, "77"}};
    for (auto [p, hex] : bytes) text = WithImageByte(text, p, hex);
    ParameterModel m;
    ASSERT_TRUE(ReadImageText(text, m));
    EXPECT_EQ(m.channels[0].mute, 7);
    EXPECT_EQ(m.channels[0].polarity, 2);
    EXPECT_EQ(m.channels[0].delaySteps, 0xFDE8);
    EXPECT_EQ(m.channels[0].delayHalves, (ByteHalves{0xE8, 0xFD}));
    EXPECT_EQ(m.channels[0].bypass, 1);
    EXPECT_EQ(m.channels[1].bypass, 9);
    EXPECT_EQ(m.output(3).routeSource, 200);
    EXPECT_EQ(m.output(3).limiterThresholdIndex, 255);
    EXPECT_EQ(m.output(3).limiterAttackIndex, 200);
    EXPECT_EQ(m.output(3).limiterReleaseIndex, 9);
    EXPECT_EQ(m.output(3).limiterRatioIndex, 10);
    // Byte 3 of an input block is reserved, and so unread.
    ParameterModel reference;
    ASSERT_TRUE(ReadImageText(WriteImageText(ParameterModel{}), reference));
    EXPECT_EQ(m.outputs[0], reference.outputs[0]);
    // The image keeps them as they came.
    EXPECT_EQ(ImageBytes(m).mid(264, 4), QByteArray::fromHex("FFC8090A"));
}

TEST(PresetImage, imageNameKeepsEveryByteOfTheField) {
    const QString base = WriteImageText(ParameterModel{});
    ParameterModel m;
    m.imageName = "old";
    ASSERT_TRUE(ReadImageText(base, m));
    EXPECT_EQ(m.imageName, QString(20, QChar(0)));

    QString text = base;
    text.replace(ImageChar(532), 6, "414243");
    text.replace(ImageChar(540), 4, "C444"); // after a zero byte: kept, not shown
    ASSERT_TRUE(ReadImageText(text, m));
    ASSERT_EQ(m.imageName.size(), 20);
    EXPECT_EQ(m.imageName.left(m.imageName.indexOf(QChar(0))), "ABC");
    EXPECT_EQ(m.imageName.mid(8, 2), QString::fromUtf16(u"\u00C4D"));
    // and it goes back out as the same bytes.
    EXPECT_EQ(ImageBytes(m).mid(532, 20), ImagePayloadOfText(text)->mid(532, 20));
}

TEST(PresetImage, headerAndChecksumAreNotLookedAt) {
    std::mt19937 rng(7);
    const ParameterModel written = RandomValidModel(rng);
    QString text = WriteImageText(written);
    text.replace(6, 2, "3C");      // address byte
    text.replace(8, 2, "A1");      // type
    text.replace(1124, 4, "5A5A"); // checksum and tail
    ParameterModel m;
    ASSERT_TRUE(ReadImageText(text, m));
    m.imageName.clear();
    EXPECT_EQ(m, written);
}

TEST(PresetImage, damagedOrShortTextLeavesTheModelUntouched) {
    std::mt19937 rng(11);
    const ParameterModel before = RandomValidModel(rng);
    const QString good = WriteImageText(ParameterModel{});
    const QString cases[] = {
        WithImageByte(good, 0, "G0"),       WithImageByte(good, 300, "0 "),
        WithImageByte(good, 551, "-1"),     WithImageByte(good, 520, "x0"), // reserved bytes too
        good.left(kBlockFrameTextSize - 1), QString()};
    for (const QString& text : cases) {
        ParameterModel m = before;
        EXPECT_FALSE(ReadImageText(text, m)) << text.size();
        EXPECT_EQ(m, before);
        EXPECT_FALSE(ImagePayloadOfText(text).has_value());
    }
}

TEST(PresetImage, randomModelsSurviveWriteAndRead) {
    std::mt19937 rng(20240611);
    for (int i = 0; i < 300; ++i) {
        ParameterModel written = RandomValidModel(rng);
        written.imageName = "ignored";
        for (ChannelParams& c : written.channels) c.bypass = Pick(rng, 1);

        ParameterModel read;
        read.imageName = "stale";
        for (ChannelParams& c : read.channels) c.bypass = 1;
        const QString text = WriteImageText(written);
        ASSERT_EQ(text.size(), kBlockFrameTextSize);
        ASSERT_TRUE(ReadImageText(text, read));

        for (ChannelParams& c : read.channels) EXPECT_EQ(c.bypass, 0);
        EXPECT_EQ(read.imageName, QString(20, QChar(0)));
        for (ChannelParams& c : written.channels) c.bypass = 0;
        read.imageName = written.imageName;
        ASSERT_EQ(read, written) << "model " << i;
        // Lowercase digits read the same.
        ParameterModel lower;
        ASSERT_TRUE(ReadImageText(text.toLower(), lower));
        lower.imageName = written.imageName;
        ASSERT_EQ(lower, written) << "model " << i;
    }
}

TEST(PresetImage, blockWriteChecksum) {
    QByteArray image(kImageSize, '\0');
    EXPECT_EQ(BlockWriteChecksum(image), 0xA3);
    EXPECT_EQ(BlockWriteChecksum(image, 0x01), 0xA2);
    image[0] = '\x10';
    image[551] = '\x01';
    EXPECT_EQ(BlockWriteChecksum(image), 0xA3 ^ 0x10 ^ 0x01);

    // Equal to the frame checksum of the whole write.
    std::mt19937 rng(3);
    const QByteArray payload = ImageBytes(RandomValidModel(rng));
    const QByteArray frame = BuildFrame(kTypePcWrite, 0, kCmdBlock, 0, payload);
    EXPECT_EQ(BlockWriteChecksum(payload), static_cast<std::uint8_t>(frame[562]));

    // A file written with checksum "00" and any header gives its image bytes back.
    QString text = WriteImageText(RandomValidModel(rng));
    text.replace(0, 20, "A5A5A5FF52070028FFFF");
    EXPECT_EQ(ImagePayloadOfText(text)->toHex().toUpper(), text.mid(20, 1104).toLatin1());
}
