#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zx {

class LinkSession;

// One run of the command-line control program.
struct CtlCommand {
    enum class Kind { ListPorts, Dump, Load, Names, Recall, Store, Show };
    Kind kind = Kind::ListPorts;
    QString port;      // a device path, a port-list entry such as ttyUSB0 or a network address
    QStringList ports; // every --port, in order; port is the first
    QString portsFile; // --ports-file: more ports, one a line
    QString file;      // dump's -o (empty: standard output) or load's preset file
    bool verify = false;
    bool json = false; // show's settings as JSON; with several ports, the results as JSON
    int slot = 0;      // 1..20
    QString name;      // store's preset name, trimmed, at most 19 characters
};

struct CtlParse {
    std::optional<CtlCommand> command; // nullopt with help or an error
    bool help = false;
    QString error;
};

// Several ports (or a ports file): the command runs on every device at once, one result
// each.
inline bool RunsOnSeveralPorts(const CtlCommand& c) {
    return c.ports.size() > 1 || !c.portsFile.isEmpty();
}

// Exit statuses.
enum CtlStatus : int { kCtlOk = 0, kCtlFailed = 1, kCtlUsage = 2, kCtlDiffers = 4 };

// Why a --port (or a line of a ports file) names no port; empty when it may.
QString CtlPortError(const QString& port);

// The arguments without the program name.
CtlParse ParseCtlArgs(const QStringList& args);
extern const char kCtlUsageText[];

// Connects, runs the command, disconnects. Results go to out; every failure is one line on
// err saying what happened, and the status tells the kind.
int RunCtl(LinkSession& session, const CtlCommand& command, QTextStream& out, QTextStream& err);

// Bounds on waits that the program's own timers end earlier: the 6 s progress run after a
// block write (the device applies the block meanwhile) and the recall's 13 s time-out.
inline constexpr int kLoadSettleLimitMs = 12000;
inline constexpr int kRecallLimitMs = 16000;

} // namespace zx
