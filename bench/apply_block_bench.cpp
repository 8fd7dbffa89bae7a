#include <benchmark/benchmark.h>

#include <QApplication>

#include "drawing/graph.h"
#include "drawing/routing_picture.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/preset_image.h"
#include "replies/apply_image.h"
#include "window_doubles/test_platform.h"

#include "bench_support.h"

using namespace zx;

namespace {

// A block with every band, crossover and route in use, as a file or the device sends it.
QString BusyBlockText() {
    ParameterModel m = bench::BusyModel();
    for (int out = 0; out < 4; ++out) m.outputs[static_cast<std::size_t>(out)].routeSource = 3;
    return WriteImageText(m);
}

// A received block applied end to end as far as the program has it today: the model, the
// 48 band and 12 crossover curves, the overview graph and the routing picture (the editor
// window's fields are not part of it yet).
void BM_ApplyBlockModelCurvesOverviewRouting(benchmark::State& state) {
    bench::App();
    TestPlatform tp;
    ParameterModel model;
    SerialTransport transport(tp.serial, tp.ports, tp.clock);
    SendSlots sendSlots(model, transport, tp.clock);
    ImageApplier applier(model, transport, sendSlots);
    Graph graph;
    RoutingPicture routing;
    applier.setImageAppliedHandler([&] {
        graph.RefreshAll(model);
        routing.Draw(model);
    });
    const QString text = BusyBlockText();
    for (auto _ : state) {
        transport.RxHexBuffer = text;
        applier.ApplyPresetImage();
        benchmark::DoNotOptimize(graph.image().constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ApplyBlockModelCurvesOverviewRouting)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
