#include "model/parameter_model.h"

namespace zx {

EqBandParams DefaultBand(int bandInChannel) {
    EqBandParams b;
    b.freqIndex = kDefaultBandFreqIndex[static_cast<std::size_t>(bandInChannel)];
    return b;
}

void ParameterModel::ResetToDefaults() {
    channels.fill(ChannelParams{});
    outputs.fill(OutputParams{});
    for (int id = 0; id < kBandCount; ++id) bands[id] = DefaultBand(id % kBandsPerChannel);
    imageName.clear();
}

std::uint16_t ActiveGainIndex(const EqBandParams& band) {
    return IsPeaking(band) ? band.peakGainIndex : band.shelfGainIndex;
}

void SetActiveGainIndex(EqBandParams& band, std::uint16_t index) {
    (IsPeaking(band) ? band.peakGainIndex : band.shelfGainIndex) = index;
}

void RefreshHalves(ChannelParams& ch) {
    ch.delayHalves = SplitHalves(ch.delaySteps);
}

void RefreshHalves(EqBandParams& band) {
    band.peakGainHalves = SplitHalves(band.peakGainIndex);
    band.shelfGainHalves = SplitHalves(band.shelfGainIndex);
}

} // namespace zx
