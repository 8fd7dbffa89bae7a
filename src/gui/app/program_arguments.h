#pragma once

#include "app/start_files.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zx {

// What the window program's command line asks for. It is read before any window or display
// exists, so that --help and --version work on a machine without one.
struct ProgramArguments {
    // Set when the program ends at once with this status: after the usage (0, or 2 for a wrong
    // line, the usage then on standard error) or the version.
    std::optional<int> exitStatus;
    QString output;   // for standard output
    QString error;    // for standard error
    QString port;     // --port PATH: a device to list and choose; empty without
    StartFiles files; // --measurement and --target
};

ProgramArguments ReadProgramArguments(const QStringList& args);

} // namespace zx
