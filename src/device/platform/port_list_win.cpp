#include "platform/qt_platform.h"

#include <windows.h>

namespace zx {

std::optional<QStringList> RegistrySerialPorts() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    QStringList out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[256];
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        const LONG r = RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) {
            RegCloseKey(key);
            return std::nullopt;
        }
        DWORD len = dataLen;
        while (len > 0 && data[len - 1] == 0) --len;
        out << QString::fromLatin1(reinterpret_cast<const char*>(data), int(len));
    }
    RegCloseKey(key);
    return out;
}

} // namespace zx
