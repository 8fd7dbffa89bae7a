#pragma once

// The made-up measurements of tests/data/measurements (see make_measurements.py there): a
// loudspeaker with a baffle step and resonances, a room with modes and dips, a subwoofer with
// its roll-off.

#include "fit/band_fit.h"
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

} // namespace zx::test
