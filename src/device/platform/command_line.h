#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <optional>

class QCommandLineParser;

class QCoreApplication;

namespace zx {

// What a tool's command line asks for once QCommandLineParser has read it. Every tool prints
// its own usage text, so the parser only reads.
struct ToolArguments {
    bool help = false; // -h or --help: print the usage and end with status 0
    QString error;     // what the parser could not read: an unknown option, a missing value
};

// Adds -h and --help to `parser`, which holds the tool's other options, and reads `args`, the
// arguments after the program name. A line the parser cannot read is refused even with --help
// in it; one it can read asks for the usage wherever --help stands, before any check of the
// tool's own.
ToolArguments ReadToolArguments(QCommandLineParser& parser, const QStringList& args);

// A wrong command line ends every tool with this status.
inline constexpr int kWrongCommandLine = 2;

// "<tool>: <message>" (unless the message is empty) and the usage on standard error; returns
// kWrongCommandLine.
int RefuseCommandLine(const char* tool, const QString& message, const char* usage);

// The first argument that does not survive the trip into a QString and back, shown as the
// tool would use it; nullopt when every one does. On Unix Qt reads the arguments as UTF-8
// and puts U+FFFD for every byte that is not, so a file name that is not valid UTF-8 would
// name another file, and two such names the same one. (Windows passes the arguments as
// UTF-16 and loses nothing.)
std::optional<QString> UnfaithfulArgument(int argc, char** argv);
// What a tool says when it refuses such an argument.
QString UnfaithfulArgumentText(const QString& argument);

// Flushes and closes standard output. False, with the reason in `error`, when anything
// written to it was lost: a full disk, the file-size limit, a closed terminal. Call it last,
// after every QTextStream on standard output has been flushed and destroyed.
bool CloseStandardOutput(QString* error = nullptr);

// The main() of a command-line tool: Qt's core application, the file-size limit reported as
// an error, an argument that is not valid UTF-8 refused with status 1, then `run`. What the
// tool printed counts only if it was written ("... > /dev/full" fails): lost standard output
// is said as "<tool>: standard output: <reason>" and turns a status of `successes` into 1.
int ToolMain(int argc, char** argv, const char* tool,
             const std::function<int(const QCoreApplication&)>& run,
             std::initializer_list<int> successes = {0});

} // namespace zx
