#include "platform/path_port_list.h"

namespace zx {

PathPortList::PathPortList(PortList& ports, QString path) : ports_(ports), path_(std::move(path)) {}

std::optional<QStringList> PathPortList::list() {
    // The named device is listed even when the machine's ports cannot be.
    QStringList out = ports_.list().value_or(QStringList{});
    // Without a path, or with a device the machine lists by its name already, the list is the
    // machine's own.
    const bool listed = out.contains(path_) ||
                        (path_.startsWith(QLatin1String("/dev/")) && out.contains(path_.mid(5)));
    if (!path_.isEmpty() && !listed) out << path_;
    return out;
}

int PathPortList::portNumber(const QString& entry) {
    return entry == path_ ? kPathNumber : ports_.portNumber(entry);
}

QString PathPortList::deviceName(int portNumber) const {
    return portNumber == kPathNumber ? path_ : ports_.deviceName(portNumber);
}

} // namespace zx
