#pragma once

#include "fit/band_fit.h"
#include "model/channel_names.h"
#include "presets/filter_import.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <vector>

class QIODevice;

namespace zx {

// One run of zephranox-preset: a filter list into a preset file (import), a preset file's
// channels as a filter list (export), or a measurement fitted into a channel's bands (fit).
struct PresetCommand {
    QString command; // "import", "export" or "fit"
    std::vector<ChannelId> channels;
    std::vector<ListChannelName> names; // import: the list's channel names mapped
    bool snap = false;
    QString into;
    QString out;   // -o; empty: standard output
    QString input; // the filter list or preset file; "-" standard input
    bool report = false;
    // fit
    QString measurement;
    QString curve;
    QString target;
    double tilt = 0.0;
    int smooth = 6;
    FitOptions fit;
};

struct PresetParse {
    std::optional<PresetCommand> command; // nullopt with help or an error
    bool help = false;
    QString error;
};

// Exit statuses: done, unreadable input or nothing usable, a wrong command line, done with
// changes reported (import).
enum PresetStatus : int { kPresetOk = 0, kPresetFailed = 1, kPresetUsage = 2, kPresetChanged = 3 };

// The arguments without the program name.
PresetParse ParsePresetArgs(const QStringList& args);
extern const char kPresetUsageText[];

// Runs the command: the preset file or filter list goes to `out` unless -o names a file;
// every message goes to `err`, and the status tells the kind.
int RunPresetCommand(const PresetCommand& command, QIODevice& out, QTextStream& err);

// The most of a filter list that is read: a list of a few thousand filters is a few hundred
// kilobytes.
inline constexpr qint64 kFilterListSizeLimit = qint64(4) << 20;

} // namespace zx
