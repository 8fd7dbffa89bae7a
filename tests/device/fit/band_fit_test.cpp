#include "fit/band_fit.h"
#include "fit/column_response.h"
#include "fit/measurement_file.h"
#include "model/value_scales.h"
#include "response/response_curves.h"

#include <gtest/gtest.h>

#include <QFile>

#include <chrono>
#include <cmath>
#include <memory>

namespace zx {
namespace {

// The drawn response of a channel as a "measurement": fitting its negative to a flat target
// must find bands that cancel it.
ResponseCurve DrawnNegative(const ParameterModel& m, ChannelId ch) {
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(m, *curves, markers);
    ResponseCurve out{};
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x)
        out[static_cast<std::size_t>(GraphGeometry::CurveIndex(x))] = -PlottedValue(*curves, m, ch, x);
    return out;
}

TEST(BandFit, FindsASinglePeakExactly) {
    ParameterModel drawn;
    EqBandParams& b = drawn.band(2, 0);
    b.type = 0;
    b.freqIndex = 100;
    b.qIndex = 9;
    SetActiveGainIndex(b, 95); // -5.0 dB
    const ResponseCurve measured = DrawnNegative(drawn, 2);
    const auto start = std::chrono::steady_clock::now();
    const FitResult r = FitChannel(ParameterModel{}, 2, measured, FlatTarget(0.0), FitOptions{});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f s rms %.4f -> %.4f\n", seconds, r.report.rmsBefore, r.report.rmsAfter);
    for (auto& band : r.bands)
        std::printf("  %d %d %d %d\n", band.type, band.freqIndex, band.qIndex, ActiveGainIndex(band));
    EXPECT_LT(r.report.rmsAfter, 1e-9);
}

} // namespace
} // namespace zx
namespace zx {
namespace {
ResponseCurve Load(const char* name) {
    QFile f(QStringLiteral(ZX_MEASUREMENTS_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const MeasurementFile file = ReadMeasurementText(QString::fromUtf8(f.readAll()));
    QString error;
    const auto curve = ChooseCurve(file, {}, &error);
    EXPECT_TRUE(curve) << error.toStdString();
    return MeasurementOnColumns(*curve, 6);
}
TEST(BandFit, Files) {
    for (const char* name : {"loudspeaker.txt", "room.frd", "subwoofer.csv"}) {
        FitOptions o;
        if (std::string(name) == "subwoofer.csv") { o.lowHz = 20; o.highHz = 200; }
        const auto start = std::chrono::steady_clock::now();
        const FitResult r = FitChannel(ParameterModel{}, 2, Load(name), FlatTarget(0.0), o);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s %.3f s rms %.3f -> %.3f max %.2f -> %.2f off %.2f\n", name, seconds,
                    r.report.rmsBefore, r.report.rmsAfter, r.report.maxBefore, r.report.maxAfter, r.report.offsetDb);
        for (auto& band : r.bands)
            std::printf("  %d %g %g %g\n", band.type, FrequencyAt(band.freqIndex), QAt(band.qIndex), EqGainAt(ActiveGainIndex(band)));
    }
}
}
}
