#include <benchmark/benchmark.h>

#include "app/application.h"
#include "model/preset_image.h"
#include "ui/editor_window.h"
#include "window_doubles/test_platform.h"

#include <array>

using namespace zx;

namespace {

// A block with every band, crossover, level and route in use. Two variants differ in every
// value, so each applied block changes every field, list and slider of both windows.
QString BusyBlockText(int variant) {
    ParameterModel m;
    for (EqBandId id = 0; id < kBandCount; ++id) {
        EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        b.type = static_cast<std::uint8_t>((id + variant) % 3);
        b.freqIndex = static_cast<std::uint8_t>((id * 37 + variant * 5) % 241);
        b.qIndex = static_cast<std::uint8_t>((id * 11 + variant * 7) % 180);
        SetActiveGainIndex(b, static_cast<std::uint16_t>(60 + (id * 13 + variant * 9) % 120));
    }
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        c.mute = static_cast<std::uint8_t>((ch + variant) % 2);
        c.polarity = static_cast<std::uint8_t>((ch + variant + 1) % 2);
        c.gainIndex = static_cast<std::uint8_t>(100 + 10 * ch + variant * 3);
        c.delaySteps = static_cast<std::uint16_t>(50 * ch + variant * 17);
        RefreshHalves(c);
        c.hpfFreqIndex = static_cast<std::uint8_t>(20 + 10 * ch + variant);
        c.hpfType = static_cast<std::uint8_t>((6 + ch + variant) % 12);
        c.lpfFreqIndex = static_cast<std::uint8_t>(220 - 20 * ch - variant);
        c.lpfType = static_cast<std::uint8_t>((11 - ch + variant) % 12);
    }
    for (int out = 0; out < kOutputCount; ++out) {
        OutputParams& o = m.outputs[static_cast<std::size_t>(out)];
        o.routeSource = static_cast<std::uint8_t>((out + variant) % 4);
        o.limiterThresholdIndex = static_cast<std::uint8_t>(10 + out + variant);
        o.limiterAttackIndex = static_cast<std::uint8_t>(20 + out + variant);
        o.limiterReleaseIndex = static_cast<std::uint8_t>((out + variant) % 6);
        o.limiterRatioIndex = static_cast<std::uint8_t>((out + variant) % 9);
    }
    return WriteImageText(m);
}

} // namespace

// A received block applied as the program applies it: the model replaced, every control of
// the main and editor windows set, every curve recomputed, the overview and routing drawn.
// The editor has been open once, so its pages exist as after a user's first look.
static void BM_ApplyBlockWithEditorControls(benchmark::State& state) {
    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    app.editor.showChannel(2);
    const std::array<QString, 2> blocks = {BusyBlockText(0), BusyBlockText(1)};
    std::size_t next = 0;
    for (auto _ : state) {
        app.link.transport.RxHexBuffer = blocks[next];
        next ^= 1;
        app.link.applier.ApplyPresetImage();
        benchmark::DoNotOptimize(app.graph.image().constBits());
    }
    if (app.model.channels[1].delaySteps != 50 + 17 * static_cast<int>(next ^ 1))
        state.SkipWithError("the block was not applied");
}
BENCHMARK(BM_ApplyBlockWithEditorControls)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
