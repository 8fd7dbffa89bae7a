#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace zx {

// One serial device at 9600 baud, 8 data bits, no parity, one stop bit.
//
// Data-available notifications run on the user-interface thread, at most one outstanding:
// while one is being handled (also while its handler waits or shows a modal dialog) no other
// is delivered. Bytes that arrived meanwhile bring the next notification as soon as the
// handler has ended.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Opens the named device exclusively with the line settings; false if it does not exist,
    // is in use or refuses the settings.
    virtual bool open(const QString& deviceName) = 0;
    virtual bool isOpen() const = 0;
    // open() has accepted the device, but it is not ready yet (a network port connecting);
    // the opened handler, or else the open failure handler, follows from the event loop.
    virtual bool opening() const { return false; }
    // Writes all bytes, false on failure. A local port returns when they have gone out; a
    // network port queues them and returns at once, so a slow server never stalls the caller.
    virtual bool write(const QByteArray& bytes) = 0;
    // The number of received bytes waiting to be read; -1 if the device cannot tell.
    virtual int bytesQueued() = 0;
    // At most maxBytes of the waiting bytes; nullopt on failure.
    virtual std::optional<QByteArray> read(int maxBytes) = 0;
    // Discards whatever waits to be sent or read.
    virtual void purge() = 0;
    virtual void close() = 0;

    // The driver's input queue: bytes beyond it that nobody has read are lost, as with an
    // overrun.
    static constexpr int kInputQueueSize = 4096;

    void setDataAvailableHandler(std::function<void()> handler) { onData_ = std::move(handler); }
    // Called by a handler that left bytes waiting on purpose: one more notification follows
    // once it has ended, even if nothing new arrives.
    void requestFollowUp() {
        if (busy_) missed_ = true;
    }
    // Called when the device fails outside a call (the adapter was unplugged).
    void setFailureHandler(std::function<void()> handler) { onFailure_ = std::move(handler); }
    // Called, from the event loop, when a device that open() accepted at once (a network port
    // still connecting) turns out not to open after all: a port that does not open.
    void setOpenFailureHandler(std::function<void()> handler) {
        onOpenFailure_ = std::move(handler);
    }
    void setOpenedHandler(std::function<void()> handler) { onOpened_ = std::move(handler); }
    bool notificationOutstanding() const { return posted_ || busy_; }

  protected:
    // The implementation calls this whenever bytes have arrived.
    void dataArrived() {
        if (busy_) {
            missed_ = true;
            return;
        }
        if (posted_ || !isOpen()) return;
        posted_ = true;
        postNotification();
    }
    // Arranges one call of deliverNotification() from the event loop (never from inside the
    // caller).
    virtual void postNotification() = 0;
    void deliverNotification() {
        posted_ = false;
        if (busy_ || !isOpen()) return;
        busy_ = true;
        missed_ = false;
        if (onData_) onData_();
        busy_ = false;
        // Bytes that arrived while the handler ran and are still waiting get a notification
        // of their own.
        if (missed_ && isOpen() && bytesQueued() > 0) dataArrived();
        missed_ = false;
    }
    void reportFailure() {
        if (onFailure_) onFailure_();
    }
    void reportOpenFailure() {
        if (onOpenFailure_) onOpenFailure_();
    }
    void reportOpened() {
        if (onOpened_) onOpened_();
    }

  private:
    std::function<void()> onData_;
    std::function<void()> onFailure_;
    std::function<void()> onOpenFailure_;
    std::function<void()> onOpened_;
    bool posted_ = false;
    bool busy_ = false;
    bool missed_ = false;
};

} // namespace zx
