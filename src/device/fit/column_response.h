#pragma once

#include "fit/measurement_file.h"
#include "response/graph_geometry.h"

namespace zx {

// Measurements and targets brought onto the graph's plot columns (ResponseCurve index =
// column − 41), where the fit compares them with the drawn curves. A column the curve does
// not reach holds NaN.

// Smoothing to 1/N octave (N = 0: none), then the value at each plot column inside the
// measured range, interpolated over log frequency. Points at 0 Hz or below are left out.
ResponseCurve MeasurementOnColumns(const MeasurementCurve& curve, int smoothOctaveFraction);

// A flat target tilted by `dbPerOctave` about 1 kHz (negative: falling toward the treble).
ResponseCurve FlatTarget(double dbPerOctave);
// A target curve as a file gives it (not smoothed), with the tilt added.
ResponseCurve TargetOnColumns(const MeasurementCurve& curve, double dbPerOctave);

} // namespace zx
