#pragma once

#ifdef _WIN32
#include <QObject>
#include <QTimer>
#include <QWinEventNotifier>

#include <windows.h>

#include "platform/overlapped_io.h"
#include "platform/serial_device.h"

namespace zx {

// A COM port through the Windows serial communications interface with overlapped I/O. A
// character-received event (WaitCommEvent with EV_RXCHAR) completes on an event that the
// thread pool watches for the event loop: it becomes the data-available notification on the
// user-interface thread with no thread of its own and no polling. (Wine ends every wait on a
// pseudo-terminal after a few milliseconds, and ends one at once while bytes are queued;
// each ended wait looks at the queue and waits again, from the event loop.) Reads, writes and the
// queue count run on the calling thread.
class WinSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    WinSerialDevice();
    ~WinSerialDevice() override;

    bool open(const QString& deviceName) override;
    bool isOpen() const override { return port_ != INVALID_HANDLE_VALUE; }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

  protected:
    void postNotification() override;

  private:
    // Starts the next WaitCommEvent; one that completes at once is followed by another from
    // the event loop. False if the watch could not be started.
    bool watchReceive();
    // The next wait after one that completed at once.
    void rewatch();
    // The pending WaitCommEvent has completed.
    void receiveWatchDone();
    // Waits for an operation started on the port to end; false if it failed.
    bool finish(OverlappedCall call, OVERLAPPED& op, BOOL returned, DWORD* bytes);

    static constexpr DWORD kCloseWaitMs = 200;
    // Between a wait that ended at once without a character and the next.
    static constexpr int kRewatchPauseMs = 10;
    // How often the queue is looked at while a wait is pending.
    static constexpr int kQueueCheckMs = 50;

    HANDLE port_ = INVALID_HANDLE_VALUE;
    // The receive watch: its control block, event and mask outlive every wait on them.
    OVERLAPPED watch_{};
    DWORD mask_ = 0;
    bool watching_ = false;
    QWinEventNotifier notifier_;
    QTimer queueCheck_;
};

} // namespace zx
#endif
