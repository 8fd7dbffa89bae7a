#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zx {

// The machine's serial ports. Entries are names such as COM3 (Windows) or ttyUSB0, ttyV0
// (Linux, where an entry names the device /dev/<entry>).
class PortList {
  public:
    virtual ~PortList() = default;

    // The ports, unsorted; nullopt if they cannot be listed.
    virtual std::optional<QStringList> list() = 0;
    // The port number of an entry (0 for an entry that names no port).
    virtual int portNumber(const QString& entry) = 0;
    // The device to open for a port number; empty for a number that names no port.
    virtual QString deviceName(int portNumber) const = 0;
};

// Entries in case-insensitive text order (COM10 before COM2), network addresses first.
QStringList SortPortEntries(QStringList entries);

// Windows naming: the number is the entry without its first three characters (COM12 gives 12,
// CNCA0 gives 0); number n opens "COM" + n up to 9 and "//./COM" + n from 10.
int WindowsPortNumber(const QString& entry);
QString WindowsDeviceName(int portNumber);

} // namespace zx
