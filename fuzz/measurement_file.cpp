// The measurement reader and the smoothing onto the graph's columns: any text as a
// measurement. Every point of a curve is finite with a frequency above 0 Hz, in ascending
// order without repeats, and a column is a finite level or unknown.
//
// Input: the file's bytes as UTF-8.

#include "fit/measurement_file.h"
#include "fit/column_response.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const MeasurementFile file = ReadMeasurementText(text);
    if (file.readings.size() != file.curves.size()) std::abort();
    if (file.curveNames.size() != qsizetype(file.curves.size())) std::abort();
    for (const MeasurementCurve& c : file.curves) {
        if (c.db.size() != c.hz.size() || c.hz.empty()) std::abort();
        for (std::size_t i = 0; i < c.hz.size(); ++i) {
            if (!(c.hz[i] > 0.0) || !std::isfinite(c.hz[i]) || !std::isfinite(c.db[i]))
                std::abort();
            if (i > 0 && c.hz[i] <= c.hz[i - 1]) std::abort();
        }
    }
    for (const QString& name : file.curveNames) {
        const auto curve = ChooseCurve(file, name, nullptr);
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
