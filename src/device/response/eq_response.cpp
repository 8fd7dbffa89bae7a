#include "response/eq_response.h"

#include "model/value_scales.h"
#include "response/curve_kernel.h"

#include <cmath>

namespace zx {
namespace {

// ln(101)
constexpr double kLn101 = 4.61512051684126;

} // namespace

BiquadSection NormaliseSection(const BiquadSection& s) {
    return {s.b0 / s.a0, s.b1 / s.a0, s.b2 / s.a0, 1.0, s.a1 / s.a0, s.a2 / s.a0};
}

// The transfer function at e^{jw} multiplied through by e^{jw}: (Nr² + Ni²) / (Dr² + Di²).
double NormalisedSquaredMagnitude(const BiquadSection& n, double c, double s) {
    const double dr = c + n.a1 + n.a2 * c;
    const double di = s - n.a2 * s;
    const double nr = n.b0 * c + n.b1 + n.b2 * c;
    const double ni = n.b0 * s - n.b2 * s;
    return (nr * nr + ni * ni) / (dr * dr + di * di);
}

double BiquadMagnitude(double b0, double b1, double b2, double a0, double a1, double a2, double w) {
    return BiquadMagnitude(BiquadSection{b0, b1, b2, a0, a1, a2}, w);
}

double BiquadMagnitude(const BiquadSection& s, double w) {
    return std::sqrt(NormalisedSquaredMagnitude(NormaliseSection(s), std::cos(w), std::sin(w)));
}

double CurveDb(double magnitude) {
    return 40.0 * std::log(magnitude) / kLn101;
}

double CurveDbOfSquared(double squaredMagnitude) {
    return 20.0 * std::log(squaredMagnitude) / kLn101;
}

BandMarker PlaceMarker(const EqBandParams& band) {
    return {kGraph.FrequencyToColumn(FrequencyAt(band.freqIndex)),
            kGraph.GainToRow(EqGainAt(ActiveGainIndex(band)))};
}

BiquadSection PeakingSection(double f0, double gainDb, double q) {
    const double w0 = f0 * kCornerAngle;
    const double a = std::pow(10.0, gainDb / 40.0);
    const double bandwidth = std::asinh(1.0 / (2.0 * q)) / 0.34657359;
    const double sinW0 = std::sin(w0);
    // ln 2 where the textbook has ln 2 / 2: the device's bands are twice as wide for a Q.
    const double alpha = sinW0 * std::sinh(0.69314718 * bandwidth * w0 / sinW0);
    return CookbookPeaking(std::cos(w0), a, alpha);
}

BiquadSection ShelfSection(EqType type, double f0, double gainDb) {
    if (gainDb == 0.0) return {};
    // The corner is moved before the design: the half-gain point lands near 1.27 f0 (low
    // shelf) or 0.77 f0 (high shelf).
    const double w0 = f0 * kCornerAngle * (type == EqType::LowShelf ? 1.2727272727 : 0.76923076923);
    const double a = std::pow(10.0, gainDb / 40.0);
    constexpr double kSlope = 1.3;
    return CookbookShelf(type == EqType::LowShelf, std::cos(w0), a,
                         ShelfAlphaOfSlope(std::sin(w0), a, kSlope));
}

namespace {

// The frequency of the marker's column: from the table of plot columns where it lies in the
// plot (the same number, without a power of ten each time).
double MarkerFrequency(int x) {
    if (x < kGraph.firstPlotColumn() || x > kGraph.lastPlotColumn())
        return kGraph.ColumnFrequency(x);
    return PlotColumnAngles().frequency[static_cast<std::size_t>(GraphGeometry::CurveIndex(x))];
}

} // namespace

void ComputeBandCurve(const EqBandParams& band, BandMarker marker, ResponseCurve& curve) {
    const double f0 = MarkerFrequency(marker.x);
    const double gain = kGraph.MarkerGain(marker.y);
    const ColumnAngles& angles = PlotColumnAngles();
    const int first = GraphGeometry::CurveIndex(kGraph.firstPlotColumn());
    const int last = GraphGeometry::CurveIndex(kGraph.lastPlotColumn());

    BiquadSection section;
    const ResponseCurve* cosines = &angles.cos;
    const ResponseCurve* sines = &angles.sin;
    switch (band.type) {
    case static_cast<int>(EqType::Peq):
        section = PeakingSection(f0, gain, QAt(band.qIndex));
        cosines = &angles.peakingCos;
        sines = &angles.peakingSin;
        break;
    case static_cast<int>(EqType::LowShelf):
    case static_cast<int>(EqType::HighShelf):
        section = ShelfSection(static_cast<EqType>(band.type), f0, gain);
        break;
    default:
        for (int i = first; i <= last; ++i) curve[static_cast<std::size_t>(i)] = 0.0;
        return;
    }
    const BiquadSection n = NormaliseSection(section);
    const auto from = static_cast<std::size_t>(first);
    CascadeCurve(&n, 1, cosines->data() + from, sines->data() + from, curve.data() + from,
                 static_cast<std::size_t>(last - first) + 1);
}

} // namespace zx
