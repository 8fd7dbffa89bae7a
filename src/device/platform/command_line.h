#pragma once

#include <QString>

#include <optional>

namespace zx {

// The first argument that does not survive the trip into a QString and back, shown as the
// tool would use it; nullopt when every one does. On Unix Qt reads the arguments as UTF-8
// and puts U+FFFD for every byte that is not, so a file name that is not valid UTF-8 would
// name another file, and two such names the same one. (Windows passes the arguments as
// UTF-16 and loses nothing.)
std::optional<QString> UnfaithfulArgument(int argc, char** argv);

// Flushes and closes standard output. False, with the reason in `error`, when anything
// written to it was lost: a full disk, the file-size limit, a closed terminal. Call it last,
// after every QTextStream on standard output has been flushed and destroyed.
bool CloseStandardOutput(QString* error = nullptr);

} // namespace zx
