#pragma once

#include "model/parameter_model.h"
#include "presets/filter_list.h"

#include <QString>

#include <vector>

namespace zx {

// The channels' settings as a filter list that Equalizer APO reads, one section per channel
// under "Channel: <name>": the channel gain as Preamp, one filter line per band in band order,
// flat ones too (so each comes back to its slot), the crossovers as HP/HPQ/LP/LPQ lines where a
// list type matches and as "# Crossover:" comments where none does.
//
// Each band is written as the cookbook filter that plays what the graph draws for it, not with
// its table values: a peaking band at the frequency and gain read back from its marker, with
// the Q of a cookbook band as wide as the device's (twice as wide as a cookbook band of the
// table's Q); a shelf as LSC/HSC at its moved corner (1.27 f, 0.77 f) with the Q of its slope.
// A comment line above each band's filter carries its table values, so that reading the list
// back gives exactly the same settings.
QString ExportFilterList(const ParameterModel& model, const std::vector<ChannelId>& channels);

// The filter line export writes for a band, without "Filter n: ", e.g.
// "ON PK Fc 996.67 Hz Gain -4.19 dB Q 1.2345".
QString ExportedBandFilter(const EqBandParams& band);
// "type 0 freq 136 peak 99 shelf 120 q 5", the comment's values.
DeviceBandValues DeviceValuesOf(const EqBandParams& band);
// Whether a list's filter still says what export wrote for these values (no one edited it).
bool MatchesExportedBand(const ListFilter& filter, const DeviceBandValues& values);
EqBandParams BandOfDeviceValues(const DeviceBandValues& values);

} // namespace zx
