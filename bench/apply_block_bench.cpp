#include <benchmark/benchmark.h>

#include <QApplication>

#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/preset_image.h"
#include "platform/test_platform.h"
#include "replies/apply_image.h"
#include "response/graph.h"
#include "response/routing_picture.h"

using namespace zx;

namespace {

void EnsureGuiApp() {
    static int argc = 1;
    static char name[] = "apply_block_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The other benchmarks share it and need widgets.
    new QApplication(argc, argv);
}

// A block with every band, crossover and route in use, as a file or the device sends it.
QString BusyBlockText() {
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
    for (int out = 0; out < 4; ++out) m.outputs[static_cast<std::size_t>(out)].routeSource = 3;
    return WriteImageText(m);
}

// A received block applied end to end as far as the program has it today: the model, the
// 48 band and 12 crossover curves, the overview graph and the routing picture (the editor
// window's fields are not part of it yet).
void BM_ApplyBlockModelCurvesOverviewRouting(benchmark::State& state) {
    EnsureGuiApp();
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
