#pragma once

#include "model/parameter_model.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"

#include <array>

namespace zx {

// Every curve the graph sums: 48 band curves and each channel's high-pass and low-pass.
// All start flat; a curve that was never computed contributes zero.
struct ResponseCurves {
    std::array<ResponseCurve, kBandCount> bands{};
    std::array<ResponseCurve, kChannelCount> highPass{};
    std::array<ResponseCurve, kChannelCount> lowPass{};
};

using BandMarkers = std::array<BandMarker, kBandCount>;
BandMarkers InitialBandMarkers();

// The sum at a plot column of the channel's eight band curves, then its high-pass and its
// low-pass curve, in that order.
double ChannelSum(const ResponseCurves& curves, ChannelId ch, int column);
// What the graph plots for the channel at the column: the sum plus the channel gain in dB.
double PlottedValue(const ResponseCurves& curves, const ParameterModel& m, ChannelId ch,
                    int column);

// One band as a refresh computes it: the marker placed from the band's values, then the
// curve from the marker.
void RecomputeBand(const ParameterModel& m, EqBandId band, ResponseCurves& curves,
                   BandMarkers& markers);
void RecomputeHighPass(const ParameterModel& m, ChannelId ch, int type, ResponseCurves& curves);
void RecomputeLowPass(const ParameterModel& m, ChannelId ch, int type, ResponseCurves& curves);
// What applying a whole parameter block computes: bands 0..47 in order, then the high-pass
// and low-pass of channels 0..5 with their stored types.
void RecomputeAllCurves(const ParameterModel& m, ResponseCurves& curves, BandMarkers& markers);

} // namespace zx
