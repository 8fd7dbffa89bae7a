#pragma once

#include "response/crossover_response.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"

// The curves computed the plain way, one column and one section at a time with the C
// library's logarithm: what the vectorised column loop must reproduce.

namespace zx::testing {

inline void ScalarSectionsCurve(const CrossoverSections& sections, ResponseCurve& curve) {
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        double product = 1.0;
        for (const BiquadSection& s : sections) {
            if (s == BiquadSection{}) continue;
            product *=
                NormalisedSquaredMagnitude(NormaliseSection(s), angles.cos[i], angles.sin[i]);
        }
        curve[i] = CurveDbOfSquared(product);
    }
}

inline void ScalarBandCurve(const EqBandParams& band, BandMarker marker, ResponseCurve& curve) {
    const double f0 = kGraph.ColumnFrequency(marker.x);
    const double gain = kGraph.MarkerGain(marker.y);
    const ColumnAngles& angles = PlotColumnAngles();
    BiquadSection section;
    const bool peaking = band.type == static_cast<int>(EqType::Peq);
    if (peaking) {
        section = PeakingSection(f0, gain, QAt(band.qIndex));
    } else if (band.type == static_cast<int>(EqType::LowShelf) ||
               band.type == static_cast<int>(EqType::HighShelf)) {
        section = ShelfSection(static_cast<EqType>(band.type), f0, gain);
    }
    const bool flat = band.type > static_cast<int>(EqType::HighShelf);
    const BiquadSection n = NormaliseSection(section);
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double c = peaking ? angles.peakingCos[i] : angles.cos[i];
        const double s = peaking ? angles.peakingSin[i] : angles.sin[i];
        curve[i] = flat ? 0.0 : CurveDbOfSquared(NormalisedSquaredMagnitude(n, c, s));
    }
}

} // namespace zx::testing
