#pragma once

#include "fit/measurement_load.h"
#include "ui/channel_measurements.h"

#include <optional>

namespace zx {

enum class CurveUse { Measurement, Target };

// A measurement or target file as the worker read it: the curve, ready for the graph, or why
// not; with neither, the file holds several curves and the window asks which one.
struct GraphCurveReading {
    MeasurementRead read; // its file only until the curve is taken from it
    std::optional<LoadedCurve> curve;
    QString error;

    bool needsChoice() const { return !curve && error.isEmpty(); }
};

// Both run off the window's thread: a large file takes seconds to read and smooth.
// Reads the file, then takes the curve `name` ("" for a file's only one) onto the columns.
GraphCurveReading ReadCurve(const QString& path, const QString& name, CurveUse use);
// The curve `name` of a file read before: the answer to the question.
GraphCurveReading TakeCurve(GraphCurveReading reading, const QString& path, const QString& name,
                            CurveUse use);

} // namespace zx
