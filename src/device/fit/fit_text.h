#pragma once

#include "fit/band_fit.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace zx {

// The fit's settings as a command line writes them.
// "LO-HI" in Hz, both above 0 and LO below HI: "20-20000", "40.5-16000".
std::optional<std::pair<double, double>> ReadFitRange(QStringView text);
// Band numbers 1..8 separated by commas: "1,2" keeps bands 1 and 2.
std::optional<std::array<bool, kBandsPerChannel>> ReadKeepList(QStringView text);

// The report: RMS and largest error before and after, the level offset, and each band's values
// ("band 3: PEQ 1000.0 Hz -4.2 dB Q 2.4"; kept bands marked, flat ones as "flat").
QString FitReportText(const FitResult& result, const FitOptions& options);

} // namespace zx
