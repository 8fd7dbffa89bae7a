#pragma once

#include "model/parameter_model.h"
#include "presets/filter_list.h"
#include "presets/written_response.h"

#include <vector>

namespace zx {

struct FilterImport {
    std::vector<ListNote> notes; // the reader's and the mapping's, by line
    WrittenChannels written;     // set for every channel imported into
    bool usable = false;         // at least one Preamp or filter was taken

    // Whether anything was dropped, limited, changed or ignored.
    bool HasChanges() const;
};

// Writes the list into `channels` of the model. Those channels' EQ bands, gain and crossovers
// are replaced (bands the list leaves unused are flat, gain 0 dB without a Preamp, crossovers
// off without HP/LP). The list's bands fill bands 1..8 in order; a band keeps from the model
// what a list line cannot say (a shelf's Q, the gain of the other band type). Their mute, polarity,
// delay, routing and limiter, and the other channels, stay as they are. Filters before any
// "Channel:" line go to every one of `channels`; filters under "Channel: out_sub" only to out_sub,
// if it is among them.
FilterImport ImportFilterList(const FilterList& list, const std::vector<ChannelId>& channels,
                              ParameterModel& model);

// Nearest entry of the channel gain table, -12.0..+12.0 dB in steps of 0.1.
int SnapChannelGain(double db);

// The device's second-order crossover type whose Q lies nearest: 12db-Bworth (0.71), 12db-LR
// (0.5) or 12db-Bessel (0.58).
int NearestSecondOrderType(double q);
// The Q a list writes for those three types.
double SecondOrderTypeQ(int type);

} // namespace zx
