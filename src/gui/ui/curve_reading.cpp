#include "ui/curve_reading.h"

#include <QFileInfo>

namespace zx {

GraphCurveReading ReadCurve(const QString& path, const QString& name, CurveUse use) {
    GraphCurveReading r;
    r.read = ReadMeasurementPath(path);
    if (!r.read.error.isEmpty()) {
        r.error = r.read.error;
        return r;
    }
    if (name.isEmpty() && r.read.file.curveNames.size() > 1) return r;
    return TakeCurve(std::move(r), path, name, use);
}

GraphCurveReading TakeCurve(GraphCurveReading r, const QString& path, const QString& name,
                            CurveUse use) {
    auto curve = CurveOfFile(path, r.read.file, name, r.error);
    if (!curve) return r;
    // Kept whole, so that the next start finds it from wherever it runs.
    QString reading = DescribeReading(r.read.file, *curve);
    ResponseCurve columns = use == CurveUse::Measurement
                                ? ChannelMeasurements::MeasuredColumns(*curve)
                                : ChannelMeasurements::TargetColumns(*curve);
    r.curve = LoadedCurve{QFileInfo(path).absoluteFilePath(), name, std::move(*curve),
                          std::move(reading), columns};
    r.read.file = {};
    return r;
}

} // namespace zx
