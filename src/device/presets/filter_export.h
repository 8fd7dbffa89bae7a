#pragma once

#include "model/parameter_model.h"

#include <QString>

#include <vector>

namespace zx {

// The channels' settings as a filter list that Equalizer APO reads, one section per channel
// under "Channel: <name>": the channel gain as Preamp, one "Filter n: ON PK|LS 6dB|HS 6dB"
// line per band in band order, flat ones too (so each comes back to its slot), the crossovers as
// HP/HPQ/LP/LPQ lines where a list type matches and as "# Crossover:" comments where none does.
// Numbers are the table values, with a dot; reading the list back gives the same settings.
QString ExportFilterList(const ParameterModel& model, const std::vector<ChannelId>& channels);

} // namespace zx
