#pragma once

#include "model/parameter_model.h"

#include <QString>

#include <optional>

namespace zx {

inline constexpr int kPresetTextLength = 1128;

// A preset file's frame text with its lines joined and each line's surrounding white space
// removed; nothing if that is not exactly 1128 hex characters (`error` then says why).
std::optional<QString> JoinPresetText(const QString& fileText, QString* error = nullptr);

// The response of every channel as CSV, one row per plot column: the column, its frequency
// in Hz and each channel's plotted value (curve sum plus channel gain, in curve dB); with
// `detail` also each channel's eight band curves and its high-pass and low-pass curves.
// The curves are computed as applying the settings to the graph computes them.
QString ResponseCsv(const ParameterModel& m, bool detail);

} // namespace zx
