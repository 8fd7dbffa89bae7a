#pragma once

#include "model/parameter_model.h"

#include <QString>

#include <optional>

namespace zx {

// The channels' titles as the screens and reports show them: "In left", "In right",
// "Out left", "Out right", "Out sub", "Out 4".
QString ChannelTitle(ChannelId ch);

// The channels' names on the command line and in CSV columns and filter lists: in_left,
// in_right, out_left, out_right, out_sub, out_4.
QString ChannelName(ChannelId ch);
// The channel of a name, read case-insensitively; nothing for any other text.
std::optional<ChannelId> ChannelByName(QStringView name);

} // namespace zx
