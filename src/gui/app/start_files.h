#pragma once

#include "model/parameter_model.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QCommandLineParser;

namespace zx {

class MeasurementActions;

// Measurements and a target named on the program's command line:
//   --measurement out_left=FILE [--measurement out_right=FILE ...] [--target FILE|flat]
struct StartFiles {
    std::vector<std::pair<ChannelId, QString>> measurements;
    QString target; // a file, "flat", or empty when none is named
};

// The usage lines of these options.
extern const char* const kStartFilesUsage;

void AddStartFileOptions(QCommandLineParser& parser);
// After the parser has read the line: nothing, with the reason, for a value it cannot use.
std::optional<StartFiles> ReadStartFiles(const QCommandLineParser& parser, QString& error);
// Loads them as the graph's menu would, after the files remembered from the last run; the
// target goes to every channel named.
void LoadStartFiles(const StartFiles& files, MeasurementActions& measurements);

} // namespace zx
