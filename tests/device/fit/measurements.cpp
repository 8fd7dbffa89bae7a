#include "measurements.h"

#include "fit/column_response.h"
#include "fit/measurement_file.h"
#include "response/response_curves.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>

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

ResponseCurve DrawnNegative(const ParameterModel& drawn, ChannelId ch) {
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(drawn, *curves, markers);
    ResponseCurve out{};
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        out[static_cast<std::size_t>(GraphGeometry::CurveIndex(x))] =
            -PlottedValue(*curves, drawn, ch, x);
    }
    return out;
}

EqBandParams Band(EqType type, int freq, int gain, int q) {
    EqBandParams b;
    b.type = static_cast<std::uint8_t>(type);
    b.freqIndex = static_cast<std::uint8_t>(freq);
    b.qIndex = static_cast<std::uint8_t>(q);
    SetActiveGainIndex(b, static_cast<std::uint16_t>(gain));
    RefreshHalves(b);
    return b;
}

} // namespace zx::test
