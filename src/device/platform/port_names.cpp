#include <algorithm>

#include "platform/network_address.h"
#include "platform/port_list.h"

namespace zx {

QStringList SortPortEntries(QStringList entries) {
    // Network addresses (they have a scheme) come first, then the serial ports.
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        const bool aNet = LooksLikeNetworkAddress(a), bNet = LooksLikeNetworkAddress(b);
        if (aNet != bNet) return aNet;
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

int WindowsPortNumber(const QString& entry) {
    const QString rest = entry.mid(3);
    if (rest.isEmpty()) return 0;
    for (QChar c : rest)
        if (c < u'0' || c > u'9') return 0;
    bool ok = false;
    const int n = rest.toInt(&ok);
    return ok ? n : 0;
}

QString WindowsDeviceName(int portNumber) {
    return (portNumber <= 9 ? QStringLiteral("COM") : QStringLiteral("//./COM")) +
           QString::number(portNumber);
}

} // namespace zx
