#include "response/response_curves.h"

#include "model/value_scales.h"
#include "response/crossover_response.h"

namespace zx {

BandMarkers InitialBandMarkers() {
    BandMarkers markers{};
    for (EqBandId id = 0; id < kBandCount; ++id) {
        markers[static_cast<std::size_t>(id)] = {
            kInitialMarkerColumns[static_cast<std::size_t>(id % kBandsPerChannel)],
            kInitialMarkerRow};
    }
    return markers;
}

double ChannelSum(const ResponseCurves& curves, ChannelId ch, int column) {
    const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(column));
    double sum = 0.0;
    for (int b = 0; b < kBandsPerChannel; ++b)
        sum += curves.bands[static_cast<std::size_t>(BandId(ch, b))][i];
    sum += curves.highPass[static_cast<std::size_t>(ch)][i];
    sum += curves.lowPass[static_cast<std::size_t>(ch)][i];
    return sum;
}

double PlottedValue(const ResponseCurves& curves, const ParameterModel& m, ChannelId ch,
                    int column) {
    return ChannelSum(curves, ch, column) +
           ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex);
}

void RecomputeBand(const ParameterModel& m, EqBandId band, ResponseCurves& curves,
                   BandMarkers& markers) {
    const auto b = static_cast<std::size_t>(band);
    markers[b] = PlaceMarker(m.bands[b]);
    ComputeBandCurve(m.bands[b], markers[b], curves.bands[b]);
}

void RecomputeHighPass(const ParameterModel& m, ChannelId ch, int type, ResponseCurves& curves) {
    const auto c = static_cast<std::size_t>(ch);
    ComputeHighPassResponse(m.channels[c].hpfFreqIndex, type, curves.highPass[c]);
}

void RecomputeLowPass(const ParameterModel& m, ChannelId ch, int type, ResponseCurves& curves) {
    const auto c = static_cast<std::size_t>(ch);
    ComputeLowPassResponse(m.channels[c].lpfFreqIndex, type, curves.lowPass[c]);
}

void RecomputeAllCurves(const ParameterModel& m, ResponseCurves& curves, BandMarkers& markers) {
    for (EqBandId band = 0; band < kBandCount; ++band) RecomputeBand(m, band, curves, markers);
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        RecomputeHighPass(m, ch, c.hpfType, curves);
        RecomputeLowPass(m, ch, c.lpfType, curves);
    }
}

} // namespace zx
