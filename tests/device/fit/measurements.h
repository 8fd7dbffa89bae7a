#pragma once

// The made-up measurements of tests/data/measurements (see make_measurements.py there): a
// loudspeaker with a baffle step and resonances, a room with modes and dips, a subwoofer with
// its roll-off.

#include "fit/band_fit.h"
#include "model/value_scales.h"
#include "response/graph_geometry.h"

#include <QString>

namespace zx::test {

struct MadeUpMeasurement {
    const char* file;
    double lowHz;
    double highHz;
};

inline constexpr MadeUpMeasurement kMadeUpMeasurements[] = {
    {"loudspeaker.txt", 40.0, 20000.0},
    {"room.frd", 20.0, 500.0},
    {"subwoofer.csv", 20.0, 200.0},
};

QString MeasurementPath(const char* file);
// The file's only curve on the plot columns, smoothed to 1/6 octave.
ResponseCurve MeasuredColumns(const char* file);
FitOptions RangeOf(const MadeUpMeasurement& m);

inline constexpr ChannelId kOutLeft = 2;

// What the graph plots for the channel, negated: a "measurement" that the bands of `drawn`
// cancel exactly against a flat target.
ResponseCurve DrawnNegative(const ParameterModel& drawn, ChannelId ch);
// A band from its table indexes.
EqBandParams Band(EqType type, int freq, int gain, int q = 4);

} // namespace zx::test
