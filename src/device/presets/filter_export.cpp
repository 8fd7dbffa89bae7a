#include "presets/filter_export.h"

#include "model/channel_names.h"
#include "model/value_scales.h"
#include "presets/filter_import.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"

#include <cmath>

namespace zx {
namespace {

QString Hz(int index) {
    return QString::number(FrequencyAt(index), 'g', 10);
}
QString OneDecimal(double v) {
    return QString::number(v, 'f', 1);
}

QString CrossoverLine(bool high, int index, int type, int& filterNumber) {
    const int offIndex = high ? 0 : kMaxFrequencyIndex;
    const QString kind = high ? QStringLiteral("HP") : QStringLiteral("LP");
    const QString typeText = CrossoverTypeText(type);
    if (index == offIndex) {
        // An off filter keeps its type on the device; only a type other than the first needs
        // saying.
        if (type == 0) return {};
        return QStringLiteral("# Crossover: %1 %2 off\n").arg(kind, typeText);
    }
    const auto t = static_cast<CrossoverType>(type);
    if (t == CrossoverType::Butterworth12) {
        return QStringLiteral("Filter %1: ON %2 Fc %3 Hz\n")
            .arg(filterNumber++)
            .arg(kind, Hz(index));
    }
    if (t == CrossoverType::LinkwitzRiley12 || t == CrossoverType::Bessel12) {
        return QStringLiteral("Filter %1: ON %2Q Fc %3 Hz Q %4\n")
            .arg(filterNumber++)
            .arg(kind, Hz(index), QString::number(SecondOrderTypeQ(type), 'f', 3));
    }
    return QStringLiteral("# Crossover: %1 %2 Fc %3 Hz\n").arg(kind, typeText, Hz(index));
}

// The drawn curve is 40 ln m / ln 101; a list's filters play 20 log10 m. Writing the gain
// scaled by ln 100 / ln 101 makes the played peak the drawn one.
constexpr double kDrawnToPlayed = 4.605170185988091 / 4.61512051684126;

QString Fixed(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

} // namespace

DeviceBandValues DeviceValuesOf(const EqBandParams& band) {
    return {band.type, band.freqIndex, band.peakGainIndex, band.shelfGainIndex, band.qIndex};
}

EqBandParams BandOfDeviceValues(const DeviceBandValues& v) {
    EqBandParams band;
    band.type = static_cast<std::uint8_t>(v.type);
    band.freqIndex = static_cast<std::uint8_t>(v.freq);
    band.peakGainIndex = static_cast<std::uint16_t>(v.peakGain);
    band.shelfGainIndex = static_cast<std::uint16_t>(v.shelfGain);
    band.qIndex = static_cast<std::uint8_t>(v.q);
    RefreshHalves(band);
    return band;
}

QString ExportedBandFilter(const EqBandParams& band) {
    // What the graph computes the band with: the frequency and gain of its marker.
    const BandMarker marker = PlaceMarker(band);
    const double f0 = kGraph.ColumnFrequency(marker.x);
    const double gain = kGraph.MarkerGain(marker.y);
    const double played = gain * kDrawnToPlayed;
    const double w0 = f0 * kCornerAngle;
    if (band.type == static_cast<int>(EqType::Peq)) {
        // The device's alpha, sin w0 sinh(2 asinh(1 / 2Q) w0 / sin w0), as a cookbook Q.
        const double q = QAt(band.qIndex);
        const double alpha =
            std::sin(w0) * std::sinh(2.0 * std::asinh(1.0 / (2.0 * q)) * w0 / std::sin(w0));
        return QStringLiteral("ON PK Fc %1 Hz Gain %2 dB Q %3")
            .arg(Fixed(f0, 2), Fixed(played, 2), Fixed(std::sin(w0) / (2.0 * alpha), 4));
    }
    const bool low = band.type == static_cast<int>(EqType::LowShelf);
    const double corner = f0 * (low ? 1.2727272727 : 0.76923076923);
    // The slope 1.3 as the Q of a centre-frequency shelf: alpha = sin w0 / 2Q.
    const double a = std::pow(10.0, gain / 40.0);
    const double q = 1.0 / std::sqrt((a + 1.0 / a) * (1.0 / 1.3 - 1.0) + 2.0);
    return QStringLiteral("ON %1 Fc %2 Hz Gain %3 dB Q %4")
        .arg(low ? QStringLiteral("LSC") : QStringLiteral("HSC"), Fixed(corner, 2),
             Fixed(played, 2), Fixed(q, 4));
}

bool MatchesExportedBand(const ListFilter& filter, const DeviceBandValues& values) {
    const FilterList again =
        ReadFilterList(QStringLiteral("Filter: ") + ExportedBandFilter(BandOfDeviceValues(values)));
    if (again.entries.size() != 1) return false;
    const ListFilter& e = again.entries.front().filter;
    return e.kind == filter.kind && e.fc == filter.fc && e.gainDb == filter.gainDb &&
           e.q == filter.q;
}

QString ExportFilterList(const ParameterModel& model, const std::vector<ChannelId>& channels) {
    QString out;
    for (ChannelId ch : channels) {
        const ChannelParams& c = model.channels[static_cast<std::size_t>(ch)];
        out += QStringLiteral("Channel: %1\n").arg(ChannelName(ch));
        out += QStringLiteral("Preamp: %1 dB\n").arg(OneDecimal(ChannelGainAt(c.gainIndex)));
        int n = 1;
        for (int b = 0; b < kBandsPerChannel; ++b) {
            const EqBandParams& band = model.band(ch, b);
            // A flat band is written too, so that every band comes back to its own slot and a
            // parked band keeps its type, frequency and Q.
            const DeviceBandValues v = DeviceValuesOf(band);
            out += QStringLiteral("# Device band %1: type %2 freq %3 peak %4 shelf %5 q %6\n")
                       .arg(b + 1)
                       .arg(v.type)
                       .arg(v.freq)
                       .arg(v.peakGain)
                       .arg(v.shelfGain)
                       .arg(v.q);
            out += QStringLiteral("Filter %1: %2\n").arg(n++).arg(ExportedBandFilter(band));
        }
        out += CrossoverLine(true, c.hpfFreqIndex, c.hpfType, n);
        out += CrossoverLine(false, c.lpfFreqIndex, c.lpfType, n);
        out += QStringLiteral("\n");
    }
    return out;
}

} // namespace zx
