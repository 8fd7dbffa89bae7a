// The measurement reader and the smoothing onto the graph's columns: any text as a
// measurement. Every point taken is finite with a frequency of 0 Hz or more, in ascending
// order, and a column is a finite level or unknown.
//
// Input: the file's bytes as UTF-8.

#include "fit/column_response.h"
#include "fit/measurement_file.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const MeasurementFile file = ReadMeasurementText(text);
    for (std::size_t i = 0; i < file.hz.size(); ++i) {
        if (!(file.hz[i] >= 0.0) || !std::isfinite(file.hz[i])) std::abort();
        if (i > 0 && file.hz[i] < file.hz[i - 1]) std::abort();
    }
    for (const auto& levels : file.levels) {
        if (levels.size() != file.hz.size()) std::abort();
        for (double v : levels) {
            if (!std::isfinite(v)) std::abort();
        }
    }
    for (int k = 0; k < static_cast<int>(file.levels.size()); ++k) {
        const auto curve = ChooseCurve(file, file.curveNames.value(k), nullptr);
        if (!curve) continue;
        for (int smooth : {0, 6}) {
            const ResponseCurve columns = MeasurementOnColumns(*curve, smooth);
            for (double v : columns) {
                if (std::isinf(v)) std::abort();
            }
        }
    }
    return 0;
}
