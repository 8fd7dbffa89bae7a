#include "measurements.h"

#include "fit/column_response.h"
#include "fit/measurement_file.h"

#include <gtest/gtest.h>

#include <QFile>

namespace zx::test {

QString MeasurementPath(const char* file) {
    return QStringLiteral(ZX_MEASUREMENTS_DIR "/") + QLatin1String(file);
}

ResponseCurve MeasuredColumns(const char* file) {
    QFile f(MeasurementPath(file));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    const MeasurementFile read = ReadMeasurementText(QString::fromUtf8(f.readAll()));
    EXPECT_EQ(read.skippedLines, 0) << file;
    QString error;
    const auto curve = ChooseCurve(read, {}, &error);
    EXPECT_TRUE(curve) << qPrintable(error);
    return curve ? MeasurementOnColumns(*curve, 6) : ResponseCurve{};
}

FitOptions RangeOf(const MadeUpMeasurement& m) {
    FitOptions o;
    o.lowHz = m.lowHz;
    o.highHz = m.highHz;
    return o;
}

} // namespace zx::test
