#include "model/channel_names.h"

#include <array>

namespace zx {
namespace {

constexpr std::array<const char*, kChannelCount> kChannelNames = {
    "in_left", "in_right", "out_left", "out_right", "out_sub", "out_4"};
constexpr std::array<const char*, kChannelCount> kChannelTitles = {
    "In left", "In right", "Out left", "Out right", "Out sub", "Out 4"};

} // namespace

QString ChannelTitle(ChannelId ch) {
    if (ch < 0 || ch >= kChannelCount) return {};
    return QString::fromLatin1(kChannelTitles[static_cast<std::size_t>(ch)]);
}

QString ChannelName(ChannelId ch) {
    if (ch < 0 || ch >= kChannelCount) return {};
    return QString::fromLatin1(kChannelNames[static_cast<std::size_t>(ch)]);
}

std::optional<ChannelId> ChannelByName(QStringView name) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        if (name.compare(QLatin1String(kChannelNames[static_cast<std::size_t>(ch)]),
                         Qt::CaseInsensitive) == 0)
            return ch;
    }
    return std::nullopt;
}

} // namespace zx
