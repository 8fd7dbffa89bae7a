#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "doubles/virtual_clock.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"

namespace zx {

class SimAmplifier;

// A serial device on a virtual 9600-baud line to the simulated amplifier: each byte takes
// 10 bit times (about 1.04 ms) in either direction. A write blocks the window thread until
// its last byte has gone out.
class VirtualSerialDevice : public SerialDevice {
  public:
    VirtualSerialDevice(VirtualClock& clock, SimAmplifier& sim,
                        QString deviceName = QStringLiteral("COM3"));

    bool open(const QString& deviceName) override;
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

    // The device's name; open() succeeds only with it.
    QString deviceName() const { return name_; }
    void setPresent(bool present) { present_ = present; } // the adapter exists
    void setInUse(bool inUse) { inUse_ = inUse; }         // another program holds it
    void setRefusesSettings(bool refuses) { refuses_ = refuses; }
    void setQueryFails(bool fails) { queryFails_ = fails; } // bytesQueued reports -1
    // The adapter is pulled out: every later call fails and the failure is reported.
    void unplug();
    void plugIn() { unplugged_ = false; } // the adapter is back; the program must open it again
    // The amplifier's answers are still on their way (a slow device falls behind).
    bool deviceSending() const { return toPcFreeUs_ > clock_.nowUs(); }
    // Bytes arrive from the far end as if the amplifier had sent them, starting now.
    void inject(const QByteArray& bytes);
    // The far end writes count bytes of pattern far faster than the line carries them (a
    // pseudo-terminal, an adapter that ignores the baud rate): every look at the queue finds
    // it full again until all have come.
    void flood(const QByteArray& pattern, qint64 count);
    qint64 floodLeft() const { return floodLeft_; }

    // Microseconds per byte at 9600 baud, 10 bits a byte.
    static std::int64_t ByteTimeUs(std::int64_t count);

    int openCount() const { return opens_; }
    int purgeCount() const { return purges_; }
    // Every write, with the time it began, since the last clearWrites().
    struct Write {
        std::int64_t atUs;
        QByteArray bytes;
    };
    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

  protected:
    void postNotification() override;

  private:
    void send(const QByteArray& bytes, std::int64_t gapUs); // amplifier to PC, after a pause
    void arrive(std::uint8_t byte);

    VirtualClock& clock_;
    SimAmplifier& sim_;
    QString name_;
    bool present_ = true, inUse_ = false, refuses_ = false, queryFails_ = false;
    bool open_ = false, unplugged_ = false;
    void topUpFlood();

    QByteArray input_;
    QByteArray floodPattern_;
    qint64 floodLeft_ = 0, floodSent_ = 0;
    std::int64_t toPcFreeUs_ = 0;  // when the amplifier's side of the line is free again
    std::int64_t toSimFreeUs_ = 0; // when the PC's side of the line is free again
    int opens_ = 0, purges_ = 0;
    std::vector<Write> writes_;
};

// Port list with scripted entries and the Windows naming rules (COM3 is port 3).
class FakePortList : public PortList {
  public:
    explicit FakePortList(QStringList entries = {QStringLiteral("COM3")})
        : entries_(std::move(entries)) {}
    std::optional<QStringList> list() override;
    int portNumber(const QString& entry) override { return WindowsPortNumber(entry); }
    QString deviceName(int portNumber) const override { return WindowsDeviceName(portNumber); }

    void setEntries(QStringList entries) { entries_ = std::move(entries); }
    void setFails(bool fails) { fails_ = fails; }

  private:
    QStringList entries_;
    bool fails_ = false;
};

} // namespace zx
