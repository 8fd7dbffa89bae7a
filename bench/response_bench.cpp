#include <benchmark/benchmark.h>

#include "model/parameter_model.h"
#include "response/graph.h"
#include "response/response_curves.h"

#include <QGuiApplication>

#include <memory>

using namespace zx;

namespace {

// Drawing text needs a Qt application; the benchmarks run offscreen.
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "response_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        // Another benchmark file may have made it already.
        if (auto* existing = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return existing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

// Every band and crossover in use, so no curve is trivially flat.
ParameterModel BusyModel() {
    ParameterModel m;
    for (EqBandId id = 0; id < kBandCount; ++id) {
        EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        b.type = static_cast<std::uint8_t>(id % 3);
        b.freqIndex = static_cast<std::uint8_t>((id * 37) % 241);
        b.qIndex = static_cast<std::uint8_t>((id * 11) % 180);
        SetActiveGainIndex(b, static_cast<std::uint16_t>(60 + (id * 13) % 120));
    }
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        c.hpfFreqIndex = static_cast<std::uint8_t>(20 + 10 * ch);
        c.hpfType = static_cast<std::uint8_t>(6 + ch);
        c.lpfFreqIndex = static_cast<std::uint8_t>(220 - 20 * ch);
        c.lpfType = static_cast<std::uint8_t>(11 - ch);
    }
    return m;
}

// What applying a parameter block computes: 48 band curves and 12 crossover curves.
void BM_RecomputeAllCurves(benchmark::State& state) {
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
