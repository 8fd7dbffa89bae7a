#pragma once

// Checks shared by the fuzz targets. A failed check aborts, which libFuzzer reports as a crash
// and saves the input.

#include <cstdio>
#include <cstdlib>

#include "model/parameter_model.h"
#include "model/value_scales.h"

namespace zx::fuzz {

inline void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The first clamped setting outside the range its table or control knows, or nullptr; the
// delay is left out where a reader keeps it unclamped on purpose. Flags, routing and the
// limiter are kept as received; ReadEveryLookup covers them.
inline const char* OutOfRange(const ParameterModel& m, bool withDelay = true) {
    for (const ChannelParams& c : m.channels) {
        if (c.gainIndex > kMaxChannelGainIndex) return "channel gain";
        if (c.hpfFreqIndex > kMaxFrequencyIndex || c.lpfFreqIndex > kMaxFrequencyIndex)
            return "crossover frequency";
        if (c.hpfType >= kCrossoverTypeCount || c.lpfType >= kCrossoverTypeCount)
            return "crossover type";
        if (withDelay && c.delaySteps > kMaxDelaySteps) return "delay";
    }
    for (const EqBandParams& b : m.bands) {
        if (b.freqIndex > kMaxFrequencyIndex) return "band frequency";
        if (b.type >= kEqTypeCount) return "band type";
        if (b.qIndex > kMaxQIndex) return "band Q";
        if (b.peakGainIndex > kMaxEqGainIndex || b.shelfGainIndex > kMaxEqGainIndex)
            return "band gain";
    }
    return nullptr;
}

inline void RequireInRange(const ParameterModel& m, bool withDelay = true) {
    if (const char* field = OutOfRange(m, withDelay)) {
        std::fprintf(stderr, "fuzz check failed: %s out of range\n", field);
        std::abort();
    }
}

// Looks every setting up as the screens do; a lookup outside a table shows under the
// address sanitizer.
inline void ReadEveryLookup(const ParameterModel& m) {
    for (const ChannelParams& c : m.channels) {
        (void)ChannelGainAt(c.gainIndex);
        (void)FrequencyAt(c.hpfFreqIndex);
        (void)FrequencyAt(c.lpfFreqIndex);
        (void)CrossoverTypeText(c.hpfType);
        (void)CrossoverTypeText(c.lpfType);
        (void)FormatDelayMs(DelayMs(c.delaySteps));
    }
    for (const OutputParams& o : m.outputs) {
        (void)RouteSourceText(o.routeSource);
        (void)ThresholdText(o.limiterThresholdIndex);
        (void)AttackText(o.limiterAttackIndex);
        (void)ReleaseText(o.limiterReleaseIndex);
        (void)RatioText(o.limiterRatioIndex);
    }
    for (const EqBandParams& b : m.bands) {
        (void)FrequencyAt(b.freqIndex);
        (void)EqTypeText(b.type);
        (void)QAt(b.qIndex);
        (void)EqGainAt(ActiveGainIndex(b));
    }
}

} // namespace zx::fuzz
