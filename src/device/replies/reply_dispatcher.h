#pragma once

#include <QString>

#include <array>
#include <functional>

namespace zx {

class SerialTransport;
class TimerHub;
class ImageApplier;

inline constexpr int kPresetSlotCount = 20;
// The twenty 20-character name fields of the device's names reply, one character per byte,
// zero bytes included; entry k is slot k + 1.
using PresetNames = std::array<QString, kPresetSlotCount>;

// Where the replies reach the connection, the preset operations and the screens. Every member
// may be left empty: an empty flag reads as clear, an empty action does nothing.
struct ReplyHooks {
    // The device's last-recalled report, as its status text.
    std::function<void(const QString& statusText)> lastRecalledText;
    // The 51 00 00 00 00 00 acknowledgement arrived: a parameter write, a name store or a
    // block write has been taken.
    std::function<void()> acknowledged;
    // A block arrived whose checksum does not match: it was discarded, never applied or saved.
    // Whoever waits for a block may ask for it once more.
    std::function<void()> blockDamaged;

    // A parameter block was requested for storing to a file. When set, the block's 1128
    // characters go to savedBlock instead of the model; the receive buffer has been emptied
    // before, and polling and sending resume once it returns. savedBlock clears the flag.
    std::function<bool()> savePending;
    std::function<void(const QString& frameText)> savedBlock;

    // A block from the device has been applied (the port selector is locked from here on).
    std::function<void()> deviceBlockApplied;
    // A recall waits for the block; recallEnded clears that, closes the progress box and
    // enables the panels. The dispatcher stops the recall's timers and resumes polling.
    std::function<bool()> recallPending;
    std::function<void()> recallEnded;
    // The block that ends the second stage of connecting (or any block nobody waited for):
    // close the connecting box and enable the panels. The names request follows.
    std::function<void()> handshakeBlockApplied;
    // The names reply: the preset name list, the selector and the active name; it ends the
    // connect handshake. Polling and sending start after it returns.
    std::function<void(const PresetNames& names)> namesReceived;
};

// Recognises the device's replies at the front of the receive buffer, removes them and acts
// on them. It keeps no state between calls: the buffer, the flags and the timers carry it.
class ReplyDispatcher {
  public:
    ReplyDispatcher(SerialTransport& transport, TimerHub& timers, ImageApplier& applier,
                    ReplyHooks hooks = {});

    ReplyHooks& hooks() { return hooks_; }

    // Runs after every read, also when nothing was read. Each pass tests every kind of reply
    // once, in a fixed order; passes repeat while they take something, so every complete
    // reply in the buffer is handled before the call returns.
    void DispatchReplies();

    // The status text of the last-recalled report for preset number n as the device counts
    // them: 1..10 user presets, 11..20 factory presets.
    static QString LastLoadGroupText(unsigned n);

    static constexpr int kBufferLimit = 1500; // characters; a longer buffer holds only noise

  private:
    // One pass of the tests; false once a block or the names list has ended the call.
    bool DispatchPass();
    void HandleBlock();
    void HandleNames();

    SerialTransport& transport_;
    TimerHub& timers_;
    ImageApplier& applier_;
    ReplyHooks hooks_;
};

} // namespace zx
