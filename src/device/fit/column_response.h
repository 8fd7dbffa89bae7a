#pragma once

#include "fit/measurement_file.h"
#include "response/graph_geometry.h"

namespace zx {

// Measurements and targets brought onto the graph's plot columns (ResponseCurve index =
// column − 41), where the fit compares them with the drawn curves. A column the curve does
// not reach holds NaN.

// At each plot column whose window of 1/N octave centred on it lies within the measured
// points: the mean, over log frequency, of the curve's piecewise-linear interpolant (linear in
// log frequency) across the window (N = 0: the interpolant itself, within the points). Points
// at 0 Hz or below are left out.
ResponseCurve MeasurementOnColumns(const MeasurementCurve& curve, int smoothOctaveFraction);

// A flat target tilted by `dbPerOctave` about 1 kHz (negative: falling toward the treble).
ResponseCurve FlatTarget(double dbPerOctave);
// A target curve as a file gives it (not smoothed: interpolated linearly over log
// frequency, within its points), with the tilt added.
ResponseCurve TargetOnColumns(const MeasurementCurve& curve, double dbPerOctave);

} // namespace zx
