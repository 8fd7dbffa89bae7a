#include <benchmark/benchmark.h>

#include "app/application.h"
#include "drawing/graph.h"
#include "drawing/graph_canvas.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "response/curve_kernel.h"
#include "response/response_curves.h"
#include "window_doubles/test_platform.h"

#include "bench_support.h"

#include <QApplication>
#include <hwy/targets.h>

#include <cstdint>
#include <memory>
#include <string>

using namespace zx;
using zx::bench::App;
using zx::bench::BusyModel;

namespace {

// What applying a parameter block computes: 48 band curves and 12 crossover curves. The
// label names the column loop this processor runs.
void BM_RecomputeAllCurves(benchmark::State& state) {
    state.SetLabel(CurveKernelTarget());
    const ParameterModel m = BusyModel();
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    for (auto _ : state) {
        RecomputeAllCurves(m, *curves, markers);
        benchmark::DoNotOptimize(curves->bands[47][500]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RecomputeAllCurves)->Unit(benchmark::kMicrosecond);

// One section over every plot column, on one vector unit of those this processor runs.
void SectionCurveOn(benchmark::State& state, std::int64_t target) {
    hwy::SetSupportedTargetsForTest(target);
    state.SetLabel(CurveKernelTarget());
    const BiquadSection section = NormaliseSection(PeakingSection(996.67, 6.0, 1.0));
    const ColumnAngles& angles = PlotColumnAngles();
    ResponseCurve curve{};
    const auto n = static_cast<std::size_t>(kGraph.plotColumnCount());
    for (auto _ : state) {
        CascadeCurve(&section, 1, angles.peakingCos.data() + 1, angles.peakingSin.data() + 1,
                     curve.data() + 1, n);
        benchmark::DoNotOptimize(curve[500]);
        benchmark::ClobberMemory();
    }
    hwy::SetSupportedTargetsForTest(0);
}
const bool kSectionCurveRegistered = [] {
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        const std::string name = std::string("BM_SectionCurve/") + hwy::TargetName(target);
        benchmark::RegisterBenchmark(name.c_str(), SectionCurveOn, target)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

// The same with the final picture: grid and the five overview curves.
void BM_RefreshAllWithOverview(benchmark::State& state) {
    App();
    const ParameterModel m = BusyModel();
    Graph graph;
    for (auto _ : state) {
        graph.RefreshAll(m);
        benchmark::DoNotOptimize(graph.image().constBits());
    }
}
BENCHMARK(BM_RefreshAllWithOverview)->Unit(benchmark::kMicrosecond);

// One drag step: grid copy, one band curve, the channel in red with the thin pen, its
// eight markers and numbers.
void BM_DragStep(benchmark::State& state) {
    App();
    ParameterModel m = BusyModel();
    Graph graph;
    graph.EditorShown();
    const EqBandId band = BandId(2, 3);
    int step = 0;
    for (auto _ : state) {
        m.bands[band].freqIndex = static_cast<std::uint8_t>(40 + step % 160);
        ++step;
        graph.RefreshBand(m, band);
        benchmark::DoNotOptimize(graph.image().constBits());
    }
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

// The curve part of a drag step: the marker placed and the band's curve computed.
void BM_DragStepCurve(benchmark::State& state) {
    ParameterModel m = BusyModel();
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    const EqBandId band = BandId(2, 3);
    int step = 0;
    for (auto _ : state) {
        m.bands[band].freqIndex = static_cast<std::uint8_t>(40 + step % 160);
        ++step;
        RecomputeBand(m, band, *curves, markers);
        benchmark::DoNotOptimize(curves->bands[band][500]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DragStepCurve)->Unit(benchmark::kMicrosecond);

// The rest of a drag step, part by part: the grid copied over the picture, the channel's
// line with the thin pen, the eight markers with their numbers.
void BM_DragStepCopyGrid(benchmark::State& state) {
    App();
    Graph graph;
    QImage image = graph.image();
    for (auto _ : state) {
        CopyGrid(image, graph.gridBitmap());
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DragStepCopyGrid)->Unit(benchmark::kMicrosecond);

void BM_DragStepPlotChannel(benchmark::State& state) {
    App();
    const ParameterModel m = BusyModel();
    Graph graph;
    graph.RefreshAll(m);
    QImage image = graph.image();
    for (auto _ : state) {
        PlotChannelCurve(image, graph.curves(), 2, 0.0, QColor(kSingleChannelRgb), 1);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DragStepPlotChannel)->Unit(benchmark::kMicrosecond);

void BM_DragStepMarkers(benchmark::State& state) {
    App();
    const ParameterModel m = BusyModel();
    Graph graph;
    graph.RefreshAll(m);
    QImage image = graph.image();
    for (auto _ : state) {
        DrawBandMarkers(image, graph.markers(), 2);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DragStepMarkers)->Unit(benchmark::kMicrosecond);

// A whole block applied, end to end, as the program does it on the virtual platform: the
// block text read into the model, the main window's controls, every curve, the overview and
// the routing picture.
void BM_ApplyBlockEndToEnd(benchmark::State& state) {
    App();
    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    const QString block = WriteImageText(BusyModel());
    for (auto _ : state) {
        app.link.transport.RxHexBuffer = block;
        app.link.applier.ApplyPresetImage();
        benchmark::DoNotOptimize(app.graph.image().constBits());
    }
}
BENCHMARK(BM_ApplyBlockEndToEnd)->Unit(benchmark::kMicrosecond);

// Grid and overview from stored curves (show switch, channel gain, editor hidden).
void BM_OverviewRedraw(benchmark::State& state) {
    App();
    const ParameterModel m = BusyModel();
    Graph graph;
    graph.RefreshAll(m);
    for (auto _ : state) {
        graph.RedrawOverview(m);
        benchmark::DoNotOptimize(graph.image().constBits());
    }
}
BENCHMARK(BM_OverviewRedraw)->Unit(benchmark::kMicrosecond);

} // namespace
