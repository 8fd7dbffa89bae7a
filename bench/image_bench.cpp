#include <benchmark/benchmark.h>

#include "link/frame.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"

namespace {

zx::ParameterModel SampleModel() {
    zx::ParameterModel m;
    for (int id = 0; id < zx::kBandCount; ++id) {
        m.bands[id].freqIndex = static_cast<std::uint8_t>((id * 37) % 241);
        m.bands[id].peakGainIndex = static_cast<std::uint16_t>((id * 11) % 181);
        zx::RefreshHalves(m.bands[id]);
    }
    return m;
}

void BM_WriteImageText(benchmark::State& state) {
    const zx::ParameterModel m = SampleModel();
    for (auto _ : state) benchmark::DoNotOptimize(zx::WriteImageText(m));
}
BENCHMARK(BM_WriteImageText);

void BM_ReadImageText(benchmark::State& state) {
    const QString text = zx::WriteImageText(SampleModel());
    zx::ParameterModel m;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zx::ReadImageText(text, m));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReadImageText);

void BM_BlockWriteBody(benchmark::State& state) {
    const QString text = zx::WriteImageText(SampleModel());
    for (auto _ : state) benchmark::DoNotOptimize(zx::BlockWriteBody(text));
}
BENCHMARK(BM_BlockWriteBody);

} // namespace
