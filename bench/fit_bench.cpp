#include <benchmark/benchmark.h>

#include "fit/band_fit.h"
#include "fit/column_response.h"
#include "fit/fit_search.h"
#include "fit/measurement_file.h"
#include "model/preset_image.h"

#include <QFile>

#include <cstdio>
#include <string>

using namespace zx;

namespace {

// The made-up measurements of tests/data/measurements, each with the range it is fitted over.
struct Measured {
    const char* file;
    double low;
    double high;
};
constexpr Measured kMeasured[] = {
    {"loudspeaker.txt", 40.0, 20000.0},
    {"room.frd", 20.0, 500.0},
    {"subwoofer.csv", 20.0, 200.0},
};

QString ReadText(const char* file) {
    QFile f(QStringLiteral(ZX_MEASUREMENTS_DIR "/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

FitOptions Range(const Measured& m) {
    FitOptions o;
    o.lowHz = m.low;
    o.highHz = m.high;
    return o;
}

// One channel's fit: the search alone, on a measurement already on the plot columns.
void FitOneChannel(benchmark::State& state, Measured m) {
    const MeasurementFile file = ReadMeasurementText(ReadText(m.file));
    const auto curve = ChooseCurve(file, {}, nullptr);
    if (!curve) {
        state.SkipWithError("measurement not found");
        return;
    }
    const ResponseCurve measured = MeasurementOnColumns(*curve, 6);
    const ResponseCurve target = FlatTarget(0.0);
    const ParameterModel model;
    FitResult r;
    for (auto _ : state) {
        r = FitChannel(model, 2, measured, target, Range(m));
        benchmark::DoNotOptimize(r.bands.data());
        benchmark::ClobberMemory();
    }
    // The figures, in dB: RMS and largest error before and after, and the level offset.
    char label[128];
    std::snprintf(label, sizeof label, "rms %.2f->%.2f max %.2f->%.2f offset %.2f",
                  r.report.rmsBefore, r.report.rmsAfter, r.report.maxBefore, r.report.maxAfter,
                  r.report.offsetDb);
    state.SetLabel(label);
}

// What `zephranox-preset fit` does besides starting: read and smooth the file, fit, write the
// preset's text.
void FitFromTheFile(benchmark::State& state, Measured m) {
    const QString text = ReadText(m.file);
    for (auto _ : state) {
        const MeasurementFile file = ReadMeasurementText(text);
        const auto curve = ChooseCurve(file, {}, nullptr);
        if (!curve) {
            state.SkipWithError("measurement not found");
            return;
        }
        ParameterModel model;
        const FitResult r =
            FitChannel(model, 2, MeasurementOnColumns(*curve, 6), FlatTarget(0.0), Range(m));
        ApplyFit(r, 2, model);
        benchmark::DoNotOptimize(WriteImageText(model));
    }
}

// The search's starts on one thread and on two: what the second core buys.
void SearchOnThreads(benchmark::State& state, Measured m) {
    const MeasurementFile file = ReadMeasurementText(ReadText(m.file));
    const auto curve = ChooseCurve(file, {}, nullptr);
    if (!curve) {
        state.SkipWithError("measurement not found");
        return;
    }
    const ResponseCurve measured = MeasurementOnColumns(*curve, 6);
    const ParameterModel model;
    for (auto _ : state) {
        FitProblem problem(model, 2, measured, FlatTarget(0.0), Range(m));
        benchmark::DoNotOptimize(problem.Search(static_cast<unsigned>(state.range(0))).cost);
    }
}

const bool kRegistered = [] {
    for (const Measured& m : kMeasured) {
        benchmark::RegisterBenchmark((std::string("BM_FitChannel/") + m.file).c_str(),
                                     FitOneChannel, m)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_FitFromTheFile/") + m.file).c_str(),
                                     FitFromTheFile, m)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_FitSearchThreads/") + m.file).c_str(),
                                     SearchOnThreads, m)
            ->Arg(1)
            ->Arg(2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace
