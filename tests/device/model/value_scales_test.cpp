#include <gtest/gtest.h>

#include <QLocale>

#include "model/parameter_model.h"
#include "model/value_scales.h"

using namespace zx;

TEST(ValueScales, entriesAreTheNearestDoublesOfTheirDecimals) {
    EXPECT_EQ(EqGainScale[0], -24.0);
    EXPECT_EQ(EqGainScale[1], -23.8);
    EXPECT_EQ(EqGainScale[120], 0.0);
    EXPECT_EQ(EqGainScale[180], 12.0);
    EXPECT_EQ(EqGainScale[77], -8.6);
    EXPECT_EQ(ChannelGainScale[0], -12.0);
    EXPECT_EQ(ChannelGainScale[120], 0.0);
    EXPECT_EQ(ChannelGainScale[133], 1.3);
    EXPECT_EQ(ChannelGainScale[240], 12.0);
    EXPECT_EQ(QScale[0], 0.2);
    EXPECT_EQ(QScale[4], 1.0);
    EXPECT_EQ(QScale[34], 7.0);
    EXPECT_EQ(QScale[179], 36.0);
}

TEST(ValueScales, frequencyTableHoldsItsIrregularEntries) {
    const std::pair<int, double> cases[] = {{0, 19.7},     {11, 27.0},     {76, 179.0},
                                            {112, 500.0},  {136, 1000.0},  {160, 2000.0},
                                            {184, 4000.0}, {240, 20100.0}, {243, 21900.0}};
    for (auto [i, hz] : cases) EXPECT_EQ(FrequencyScale[i], hz) << i;
    for (std::size_t i = 1; i < FrequencyScale.size(); ++i)
        EXPECT_GT(FrequencyScale[i], FrequencyScale[i - 1]) << i;
}

TEST(ValueScales, listTextsInItemOrder) {
    EXPECT_EQ(ThresholdTexts().size(), 61);
    EXPECT_EQ(ThresholdText(0), "-20.0dB");
    EXPECT_EQ(ThresholdText(39), "-0.5dB");
    EXPECT_EQ(ThresholdText(40), "0.0dB");
    EXPECT_EQ(ThresholdText(60), "10.0dB");
    EXPECT_EQ(AttackTexts().size(), 107);
    EXPECT_EQ(AttackText(0), "0.3");
    EXPECT_EQ(AttackText(6), "0.9");
    EXPECT_EQ(AttackText(7), "1.0");
    EXPECT_EQ(AttackText(8), "2.0");
    EXPECT_EQ(AttackText(15), "9.0");
    EXPECT_EQ(AttackText(16), "10");
    EXPECT_EQ(AttackText(106), "100");
    EXPECT_EQ(ReleaseText(5), "32X");
    EXPECT_EQ(RatioText(8), "inf:1");
    EXPECT_EQ(EqTypeText(1), "LS 6dB");
    EXPECT_EQ(CrossoverTypeText(11), "48db-Bessel");
    EXPECT_EQ(RouteSourceText(3), "A+B");
}

TEST(ValueScales, lookupsByAnyByteStayInsideTheirTables) {
    EXPECT_EQ(FrequencyAt(241), 20700.0);
    for (int i : {-1, 244, 255, 1000}) {
        EXPECT_EQ(FrequencyAt(i), i < 0 ? 19.7 : 21900.0);
        EXPECT_EQ(QAt(i), i < 0 ? 0.2 : 36.0);
    }
    EXPECT_EQ(EqGainAt(255), 12.0);
    EXPECT_EQ(ChannelGainAt(241), 12.0);
    for (int i : {-1, 61, 107, 255}) {
        EXPECT_TRUE(ThresholdText(i).isEmpty() == (i < 0 || i >= 61)) << i;
        EXPECT_TRUE(AttackText(i).isEmpty() == (i < 0 || i >= 107)) << i;
    }
    for (int i : {4, 6, 9, 12, 255}) {
        EXPECT_TRUE(RouteSourceText(i).isEmpty());
        EXPECT_TRUE(ReleaseText(i + 2).isEmpty());
        EXPECT_TRUE(RatioText(i + 5).isEmpty());
        EXPECT_TRUE(EqTypeText(i).isEmpty());
        EXPECT_TRUE(CrossoverTypeText(i + 8).isEmpty());
    }
}

TEST(DisplayMasks, roundToTheLastDigitWithADot) {
    EXPECT_EQ(FormatGainDb(ChannelGainScale[120]), "0.0 dB");
    EXPECT_EQ(FormatGainDb(ChannelGainScale[0]), "-12.0 dB");
    EXPECT_EQ(FormatGainDb(ChannelGainScale[240]), "12.0 dB");
    EXPECT_EQ(FormatGainDb(ChannelGainScale[155]), "3.5 dB");
    EXPECT_EQ(FormatDelayMs(DelayMs(0)), "0.000 ms");
    EXPECT_EQ(FormatDelayMs(DelayMs(1)), "0.021 ms");
    EXPECT_EQ(FormatDelayMs(DelayMs(100)), "2.100 ms");
    EXPECT_EQ(FormatDelayMs(DelayMs(960)), "20.160 ms");
    EXPECT_EQ(FormatOneDecimal(FrequencyScale[0]), "19.7");
    EXPECT_EQ(FormatOneDecimal(FrequencyScale[136]), "1000.0");
    EXPECT_EQ(FormatOneDecimal(FrequencyScale[240]), "20100.0");
    EXPECT_EQ(FormatOneDecimal(EqGainScale[103]), "-3.4");
    EXPECT_EQ(FormatOneDecimal(QScale[179]), "36.0");
    EXPECT_EQ(FormatOneDecimal(-0.04), "0.0");
    EXPECT_EQ(FormatOneDecimal(0.06), "0.1");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(FormatOneDecimal(QScale[4]), "1.0");
    QLocale::setDefault(QLocale::c());
}

TEST(ParameterModel, defaultsReadAsTheDeviceStarts) {
    ParameterModel m;
    const ChannelParams& ch = m.channels[3];
    EXPECT_EQ(FormatGainDb(ChannelGainAt(ch.gainIndex)), "0.0 dB");
    EXPECT_EQ(FormatDelayMs(DelayMs(ch.delaySteps)), "0.000 ms");
    EXPECT_EQ(FormatOneDecimal(FrequencyAt(ch.hpfFreqIndex)), "19.7");
    EXPECT_EQ(FormatOneDecimal(FrequencyAt(ch.lpfFreqIndex)), "20100.0");
    const char* freqs[] = {"19.7", "51.1", "102.0", "198.0", "500.0", "1000.0", "2000.0", "2997.0"};
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const EqBandParams& band = m.band(5, b);
        EXPECT_EQ(FormatOneDecimal(FrequencyAt(band.freqIndex)), freqs[b]);
        EXPECT_EQ(FormatOneDecimal(EqGainAt(ActiveGainIndex(band))), "0.0");
        EXPECT_EQ(FormatOneDecimal(QAt(band.qIndex)), "1.0");
        EXPECT_EQ(band.peakGainHalves, (ByteHalves{120, 0}));
        EXPECT_EQ(band.shelfGainHalves, (ByteHalves{120, 0}));
    }
    const OutputParams& out = m.output(2);
    EXPECT_EQ(RouteSourceText(out.routeSource), "OFF");
    EXPECT_EQ(ThresholdText(out.limiterThresholdIndex), "-20.0dB");
    EXPECT_EQ(AttackText(out.limiterAttackIndex), "0.3");
    EXPECT_EQ(ReleaseText(out.limiterReleaseIndex), "2X");
    EXPECT_EQ(RatioText(out.limiterRatioIndex), "1.2:1");
    EXPECT_TRUE(m.imageName.isEmpty());
}

TEST(ParameterModel, resetRestoresEveryFieldAndHalves) {
    ParameterModel m;
    m.channels[0].delaySteps = 960;
    RefreshHalves(m.channels[0]);
    m.bands[17].type = 2;
    m.bands[17].shelfGainIndex = 3;
    RefreshHalves(m.bands[17]);
    m.outputs[1].routeSource = 200;
    m.imageName = "Bass";
    m.ResetToDefaults();
    EXPECT_EQ(m, ParameterModel());
    EXPECT_EQ(m.channels[0].delayHalves, (ByteHalves{0, 0}));
}

TEST(ParameterModel, eachBandKeepsBothGains) {
    EqBandParams b = DefaultBand(0);
    b.type = 1;
    b.peakGainIndex = 150;
    b.shelfGainIndex = 100;
    EXPECT_EQ(FormatOneDecimal(EqGainAt(ActiveGainIndex(b))), "-4.0");
    b.type = 0;
    EXPECT_EQ(FormatOneDecimal(EqGainAt(ActiveGainIndex(b))), "6.0");
    SetActiveGainIndex(b, 130);
    EXPECT_EQ(b.shelfGainIndex, 100);
    b.type = 1;
    EXPECT_EQ(FormatOneDecimal(EqGainAt(ActiveGainIndex(b))), "-4.0");
    EXPECT_EQ(b.peakGainIndex, 130);
}

TEST(ParameterModel, splitsSixteenBitValuesLowFirst) {
    EXPECT_EQ(SplitHalves(960), (ByteHalves{0xC0, 0x03}));
    EXPECT_EQ(SplitHalves(120), (ByteHalves{120, 0}));
    for (int v : {0, 1, 255, 256, 960, 65535})
        EXPECT_EQ(JoinHalves(SplitHalves(static_cast<std::uint16_t>(v))), v);
}
