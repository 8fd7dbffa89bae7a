#include "platform/parent_console.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#endif

namespace zx {

#ifdef _WIN32
namespace {

bool HasStream(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

} // namespace
#endif

void UseParentConsole() {
#ifdef _WIN32
    const bool out = HasStream(STD_OUTPUT_HANDLE), err = HasStream(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    // A stream that cannot be reopened stays as it was: nothing else can be done for it.
    if (!out && std::freopen("CONOUT$", "w", stdout) == nullptr) return;
    if (!err && std::freopen("CONOUT$", "w", stderr) == nullptr) return;
#endif
}

} // namespace zx
