#pragma once

#include <random>

#include "model/parameter_model.h"
#include "model/value_scales.h"

namespace zx {

inline int Pick(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A preset with every setting random within its table, as a device may hold it. Each band
// is flat now and then, keeping its type, frequency and Q (a parked band). With `listOnly`
// what a filter list cannot say stays at its default: a shelf's Q, the other type's gain.
inline ParameterModel RandomPreset(std::mt19937& rng, bool listOnly) {
    ParameterModel m;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[ch];
        c.mute = Pick(rng, 0, 1);
        c.polarity = Pick(rng, 0, 1);
        c.gainIndex = Pick(rng, 0, kMaxChannelGainIndex);
        c.delaySteps = Pick(rng, 0, 960);
        RefreshHalves(c);
        c.hpfFreqIndex = Pick(rng, 0, kMaxFrequencyIndex);
        c.hpfType = Pick(rng, 0, 11);
        c.lpfFreqIndex = Pick(rng, 0, kMaxFrequencyIndex);
        c.lpfType = Pick(rng, 0, 11);
        for (int b = 0; b < kBandsPerChannel; ++b) {
            EqBandParams& band = m.band(ch, b);
            band.type = Pick(rng, 0, 2);
            band.freqIndex = Pick(rng, 0, kMaxFrequencyIndex);
            const bool flat = Pick(rng, 0, 3) == 0;
            if (!listOnly) {
                band.peakGainIndex = Pick(rng, 0, kMaxEqGainIndex);
                band.shelfGainIndex = Pick(rng, 0, kMaxEqGainIndex);
            }
            SetActiveGainIndex(band, flat ? 120 : Pick(rng, 0, kMaxEqGainIndex));
            if (IsPeaking(band) || !listOnly) band.qIndex = Pick(rng, 0, kMaxQIndex);
            RefreshHalves(band);
        }
    }
    for (OutputParams& o : m.outputs) {
        o.routeSource = Pick(rng, 0, 3);
        o.limiterThresholdIndex = Pick(rng, 0, 60);
        o.limiterAttackIndex = Pick(rng, 0, 106);
    }
    return m;
}

} // namespace zx
