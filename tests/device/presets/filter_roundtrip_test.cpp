#include <gtest/gtest.h>

#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "presets/filter_export.h"
#include "presets/filter_import.h"
#include "presets/filter_list.h"
#include "presets/written_response.h"

#include "random_presets.h"

#include <cmath>

using namespace zx;

namespace {

const std::vector<ChannelId> kAllChannels = {0, 1, 2, 3, 4, 5};

} // namespace

// Flat bands anywhere among the others: each must come back to its own slot with its type,
// frequency and Q.
TEST(FilterRoundTrip, exportThenImportGivesTheSamePreset) {
    std::mt19937 rng(20261209);
    for (int i = 0; i < 300; ++i) {
        const ParameterModel preset = RandomPreset(rng, true);
        const QString list = ExportFilterList(preset, kAllChannels);
        ParameterModel back;
        back.outputs = preset.outputs;
        for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
            back.channels[ch].mute = preset.channels[ch].mute;
            back.channels[ch].polarity = preset.channels[ch].polarity;
            back.channels[ch].delaySteps = preset.channels[ch].delaySteps;
            RefreshHalves(back.channels[ch]);
        }
        const FilterImport r = ImportFilterList(ReadFilterList(list), kAllChannels, back);
        ASSERT_EQ(back, preset) << qPrintable(list);
        ASSERT_FALSE(r.HasChanges()) << qPrintable(list);
    }
}

TEST(FilterRoundTrip, anyPresetExportsToAListThatReadsBackToTheSameList) {
    std::mt19937 rng(7);
    for (int i = 0; i < 100; ++i) {
        ParameterModel preset = RandomPreset(rng, false);
        // A shelf's hidden Q, the other type's gain: what a list leaves out.
        preset.band(2, 7).peakGainIndex = 120;
        preset.band(2, 7).qIndex = 100;
        std::shuffle(preset.bands.begin(), preset.bands.end(), rng);
        const QString list = ExportFilterList(preset, {0, 1, 2, 3, 4});
        ParameterModel back = preset;
        ImportFilterList(ReadFilterList(list), {0, 1, 2, 3, 4}, back);
        ASSERT_EQ(ExportFilterList(back, {0, 1, 2, 3, 4}), list);
    }
}

TEST(FilterRoundTrip, snappingMatchesTheEntryFields) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> hz(5.0, 30000.0), db(-30.0, 20.0), q(0.1, 40.0);
    for (int i = 0; i < 2000; ++i) {
        const QString f = QString::number(hz(rng), 'f', Pick(rng, 0, 2));
        const QString g = QString::number(db(rng), 'f', Pick(rng, 0, 2));
        const QString qt = QString::number(q(rng), 'f', Pick(rng, 1, 3));
        // A filter at 0.0 dB uses up no band.
        if (g.toDouble() == 0.0) continue;
        ParameterModel m;
        ImportFilterList(
            ReadFilterList(QStringLiteral("Filter: ON PK Fc %1 Hz Gain %2 dB Q %3").arg(f, g, qt)),
            {0}, m);
        const EqBandParams& band = m.band(0, 0);
        ASSERT_EQ(band.freqIndex, SnapFrequencyText(f)) << qPrintable(f);
        ASSERT_EQ(band.peakGainIndex, SnapGainText(g)) << qPrintable(g);
        ASSERT_EQ(band.qIndex, SnapQText(qt)) << qPrintable(qt);
    }
}

TEST(WrittenResponse, cookbookDesignsMeetTheirDefiningPoints) {
    const auto at = [](const char* line, double hz) {
        ParameterModel m;
        const FilterImport r = ImportFilterList(ReadFilterList(QString::fromLatin1(line)), {0}, m);
        return WrittenResponseDb(*r.written[0], hz);
    };
    EXPECT_NEAR(at("Filter: ON PK Fc 1000 Hz Gain 6 dB Q 2", 1000.0), 6.0, 1e-9);
    EXPECT_NEAR(at("Filter: ON HP Fc 100 Hz", 100.0), -3.0103, 1e-3);
    EXPECT_NEAR(at("Filter: ON LPQ Fc 1000 Hz Q 0.5", 1000.0), -6.0206, 1e-3);
    // "LS 6dB", "HS 12dB": Fc is the corner, |G| / (2 × slope) octaves from the half-gain point
    // on the side of the shelf.
    EXPECT_NEAR(at("Filter: ON LS 6dB Fc 200 Hz Gain 8 dB", 200.0 * std::pow(2.0, 8.0 / 12.0)), 4.0,
                1e-3);
    EXPECT_NEAR(at("Filter: ON HS 12dB Fc 2000 Hz Gain 6 dB", 2000.0 / std::pow(2.0, 6.0 / 24.0)),
                3.0, 1e-3);
    EXPECT_NEAR(at("Filter: ON LS 12dB Fc 100 Hz Gain -6 dB", 100.0 / std::pow(2.0, 6.0 / 24.0)),
                -3.0, 1e-3);
    EXPECT_NEAR(at("Filter: ON LS 6dB Fc 200 Hz Gain 8 dB", 20.0), 7.9, 0.1);
    EXPECT_NEAR(at("Filter: ON HSC Fc 5000 Hz Gain -4 dB Q 0.7", 5000.0), -2.0, 1e-3);
    EXPECT_NEAR(at("Filter: ON HS Fc 5000 Hz Gain -4 dB", 40000.0), -4.0, 0.05);
    EXPECT_NEAR(at("Preamp: -2.5 dB", 300.0), -2.5, 1e-12);
}

TEST(WrittenResponse, deviationIsSmallWhereTheDeviceMatchesTheList) {
    ParameterModel m;
    const FilterImport r = ImportFilterList(
        ReadFilterList(u"Preamp: -6 dB\nFilter: ON PK Fc 1000 Hz Gain 0 dB Q 1"), {2}, m);
    const auto d = CompareWithDevice(r.written, m);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].channel, 2);
    // The graph's 1/ln 101 scale and the low-pass computed at 60 kHz leave only hundredths.
    EXPECT_LT(d[0].maxDb, 0.06);

    const FilterImport boosted =
        ImportFilterList(ReadFilterList(u"Filter: ON PK Fc 1000 Hz Gain 20 dB Q 4"), {2}, m);
    const auto limited = CompareWithDevice(boosted.written, m);
    EXPECT_GT(limited[0].maxDb, 7.9); // 20 dB asked, 12 dB given
    EXPECT_NEAR(limited[0].atHz, 1000.0, 30.0);

    const FilterImport absurd = ImportFilterList(
        ReadFilterList(
            u"Filter: ON LS Fc 100 Hz Gain -9000 dB\nFilter: ON PK Fc 1 kHz Gain 900 dB Q 1"),
        {2}, m);
    EXPECT_TRUE(std::isfinite(CompareWithDevice(absurd.written, m)[0].maxDb));
}
