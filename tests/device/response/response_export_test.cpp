#include <gtest/gtest.h>

#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "model/value_scales.h"
#include "response/response_curves.h"
#include "response/response_export.h"

#include <QStringList>

#include <memory>

using namespace zx;

namespace {

ParameterModel SampleModel() {
    ParameterModel m;
    SetActiveGainIndex(m.band(2, 5), 180); // Out left band 6: +12.0 dB at 1000 Hz
    m.channels[3].lpfFreqIndex = 136;
    m.channels[4].hpfFreqIndex = 136;
    m.channels[4].hpfType = 9;
    m.channels[0].gainIndex = 240;
    m.band(1, 2).type = static_cast<std::uint8_t>(EqType::LowShelf);
    SetActiveGainIndex(m.band(1, 2), 150);
    return m;
}

QStringList Lines(const QString& csv) {
    QStringList lines = csv.split(u'\n');
    EXPECT_EQ(lines.last(), QString()); // ends with a line break
    lines.removeLast();
    return lines;
}

} // namespace

TEST(ResponseExport, oneRowPerPlotColumnWithEachChannelsPlottedValue) {
    const ParameterModel m = SampleModel();
    const QStringList lines = Lines(ResponseCsv(m, false));
    ASSERT_EQ(lines.size(), 1 + 889);
    EXPECT_EQ(
        lines[0],
        QStringLiteral("column,frequency_hz,in_left,in_right,out_left,out_right,out_sub,out_4"));

    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(m, *curves, markers);
    for (int row = 1; row < lines.size(); ++row) {
        const QStringList f = lines[row].split(u',');
        ASSERT_EQ(f.size(), 8);
        const int column = 41 + row;
        EXPECT_EQ(f[0].toInt(), column);
        EXPECT_NEAR(f[1].toDouble(), kGraph.ColumnFrequency(column), 1e-6);
        for (ChannelId ch = 0; ch < kChannelCount; ++ch)
            ASSERT_NEAR(f[2 + ch].toDouble(), PlottedValue(*curves, m, ch, column), 1e-6);
    }
    // The worked examples, read from outside: 1000 Hz is column 555 at 996.67 Hz.
    const QStringList at555 = lines[555 - 41].split(u',');
    EXPECT_EQ(at555[1], QStringLiteral("996.673272"));
    EXPECT_NEAR(at555[2].toDouble(), 12.0, 0.001);    // In left: gain only
    EXPECT_NEAR(at555[4].toDouble(), 11.974, 0.0005); // Out left: +12 dB band
    EXPECT_NEAR(at555[5].toDouble(), -2.94, 0.005);   // Out right: 12db-Bworth low-pass
    EXPECT_NEAR(at555[6].toDouble(), -3.15, 0.005);   // Out sub: 48db-Bworth high-pass
}

TEST(ResponseExport, detailAddsEveryBandAndCrossoverCurve) {
    const ParameterModel m = SampleModel();
    const QStringList lines = Lines(ResponseCsv(m, true));
    ASSERT_EQ(lines.size(), 1 + 889);
    const QStringList header = lines[0].split(u',');
    ASSERT_EQ(header.size(), 8 + 6 * 10);
    EXPECT_EQ(header[8], QStringLiteral("in_left_band1"));
    EXPECT_EQ(header[15], QStringLiteral("in_left_band8"));
    EXPECT_EQ(header[16], QStringLiteral("in_left_highpass"));
    EXPECT_EQ(header[17], QStringLiteral("in_left_lowpass"));
    EXPECT_EQ(header[67], QStringLiteral("out_4_lowpass"));

    // Each plotted value is its channel's detail columns summed plus the channel gain.
    for (int row = 1; row < lines.size(); row += 37) {
        const QStringList f = lines[row].split(u',');
        ASSERT_EQ(f.size(), header.size());
        for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
            double sum = 0.0;
            for (int k = 0; k < 10; ++k) sum += f[8 + 10 * ch + k].toDouble();
            const double gain = ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex);
            EXPECT_NEAR(f[2 + ch].toDouble(), sum + gain, 1e-5) << row << " " << ch;
        }
    }
    // Out left band 6 peaks at column 555; In right band 3 is a low shelf of +6.0 dB.
    EXPECT_NEAR(lines[555 - 41].split(u',')[8 + 20 + 5].toDouble(), 11.974, 0.0005);
    EXPECT_NEAR(lines[1].split(u',')[8 + 10 + 2].toDouble(), 5.987, 0.01);
}
