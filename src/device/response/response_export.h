#pragma once

#include "model/parameter_model.h"

#include <QString>

namespace zx {

// The response of every channel as CSV, one row per plot column: the column, its frequency
// in Hz and each channel's plotted value (curve sum plus channel gain, in curve dB); with
// `detail` also each channel's eight band curves and its high-pass and low-pass curves.
// The curves are computed as applying the settings to the graph computes them.
QString ResponseCsv(const ParameterModel& m, bool detail);

} // namespace zx
