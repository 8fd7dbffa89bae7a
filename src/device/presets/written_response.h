#pragma once

#include "model/parameter_model.h"
#include "presets/filter_list.h"

#include <array>
#include <optional>
#include <vector>

namespace zx {

// One channel's filters as a list wrote them, before any table moved them.
struct WrittenChannel {
    double preampDb = 0.0;
    std::vector<ListFilter> filters;
};
using WrittenChannels = std::array<std::optional<WrittenChannel>, kChannelCount>;

// The response in dB (20 log10 |H|) of the written filters at `hz`, designed as Equalizer APO
// designs them (the standard biquad cookbook, at the device's 96 kHz) with the values exactly
// as written. Crossovers written as a device type use the device's own sections.
double WrittenResponseDb(const WrittenChannel& channel, double hz);

// The largest difference between the written response and what the graph draws for the
// channel, over the graph columns from 20 Hz to 20 kHz.
struct ChannelDeviation {
    ChannelId channel = 0;
    double maxDb = 0.0;
    double atHz = 0.0;
};
std::vector<ChannelDeviation> CompareWithDevice(const WrittenChannels& written,
                                                const ParameterModel& model);

} // namespace zx
