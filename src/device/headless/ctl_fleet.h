#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <vector>

#include "headless/ctl_commands.h"

namespace zx {

// One run of the command on a real port: Qt's timers, clock and serial device (local or
// network), a link session, RunCtl.
int RunCtlOnPort(const CtlCommand& command, QTextStream& out, QTextStream& err);

// What the command did on one device of several.
struct CtlDeviceResult {
    QString port;
    int status = kCtlOk;
    QString message; // the failure in the program's words; empty on success
};

// A ports file names a few hundred ports at most; a longer file is no ports file.
inline constexpr qint64 kPortsFileSizeLimit = qint64(1) << 20;

// The ports of a ports file: one a line, spaces around it and empty lines ignored, # starts
// a comment. nullopt with the reason when the file cannot be read.
std::optional<QStringList> ReadPortsFile(const QString& path, QString* why);

// The command on every port at once, each on its own link in a thread of its own; the
// results in the order of the ports.
std::vector<CtlDeviceResult> RunCtlOnPorts(const CtlCommand& command, const QStringList& ports);

// "PORT ok|failed|differs MESSAGE", or one JSON object {"port", "status", "result",
// "message"}.
QString CtlResultLine(const CtlDeviceResult& result, bool json);
// The worst status among them: a failure before a difference before success.
int WorstCtlStatus(const std::vector<CtlDeviceResult>& results);

// The whole run with several ports: the ports file read, the ports checked, the command run
// on all of them, one result line each on out. Problems with the ports themselves go to err.
int RunCtlFleet(const CtlCommand& command, QTextStream& out, QTextStream& err);

} // namespace zx
