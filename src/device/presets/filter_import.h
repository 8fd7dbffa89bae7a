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

    // Whether a filter value was changed or limited, or a filter or Preamp dropped. Lines
    // that are no filters (a room-measurement program's header lines) are reported but are
    // no change.
    bool HasChanges() const;
};

// A list's own channel name taken as a device channel: "L" as out_left.
struct ListChannelName {
    QString listName;
    ChannelId channel = 0;
};

// Writes the list into `channels` of the model. Those channels' EQ bands, gain and crossovers
// are replaced (bands the list leaves unused are flat, gain 0 dB without a Preamp, crossovers
// off without HP/LP). The list's bands fill bands 1..8 in order; a band keeps from the model
// what a list line cannot say (a shelf's Q, the gain of the other band type). Their mute, polarity,
// delay, routing and limiter, and the other channels, stay as they are. Filters before any
// "Channel:" line go to every one of `channels`; filters under "Channel: out_sub" only to out_sub,
// if it is among them.
// Filters at 0.0 dB use up no band. A filter written by export with its device values in the
// comment above it, and not edited since, takes exactly those values. `names` maps the list's
// own channel names to device channels; a "Channel:" the device has no channel for is
// reported, with the filters and Preamp under it.
FilterImport ImportFilterList(const FilterList& list, const std::vector<ChannelId>& channels,
                              ParameterModel& model,
                              const std::vector<ListChannelName>& names = {});

// Nearest entry of the channel gain table, -12.0..+12.0 dB in steps of 0.1.
int SnapChannelGain(double db);

// The device's second-order crossover type whose Q lies nearest: 12db-Bworth (0.71), 12db-LR
// (0.5) or 12db-Bessel (0.58).
int NearestSecondOrderType(double q);
// The Q a list writes for those three types.
double SecondOrderTypeQ(int type);

} // namespace zx
