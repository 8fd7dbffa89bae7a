#pragma once

#include <QByteArray>

#include <array>

#include "model/parameter_model.h"

namespace zx {

class SerialTransport;
class TimerHub;

// One ready-built 20-byte parameter write per parameter group (64 in all), each with a pending
// flag, and the three-timer cycle that sends the pending ones one at a time, lowest slot
// first, about every half second, with polling paused while it does so.
//
// Slots 1..16 hold the channel settings, crossover and (outputs) limiter of each channel in
// channel order; slot 17 + b holds EQ band b. The device is never asked to acknowledge, and
// nothing is sent twice unless it was rebuilt after its pick.
class SendSlots {
  public:
    static constexpr int kSlotCount = 64;
    static constexpr int kFlagCount = 100; // flags 65..100 belong to no group
    static constexpr int kFirstEqSlot = 17;

    // Takes over the handlers of sendTimer, Timer7 and Timer4.
    SendSlots(ParameterModel& model, SerialTransport& transport, TimerHub& timers);

    // Slot numbers of the groups; 0 for a channel or band that has none.
    static int ChannelSettingsSlot(ChannelId ch);
    static int CrossoverSlot(ChannelId ch);
    static int LimiterSlot(ChannelId ch);
    static int EqBandSlot(EqBandId band);

    // The builders, called after a new value has been stored in the model. Each rebuilds the
    // group's frame from the model and marks it pending, but only while the link is up.
    void BuildChannelSettings(ChannelId ch);
    void BuildCrossover(ChannelId ch);
    void BuildLimiter(ChannelId ch); // output channels only
    // Also refreshes the band's gain byte halves, link or not, because the image writer reads
    // them.
    void BuildEqBand(EqBandId band);

    // The timer events of the cycle.
    void OnSendTimer(); // 10 ms: pick the lowest pending slot, pause polling
    void OnTimer7();    // 200 ms after the pick: write the slot as it is now
    void OnTimer4();    // 300 ms after the write: resume polling and scanning

    // Ends the cycle wherever it is: stops sendTimer, Timer7 and Timer4 and drops the picked
    // slot, so nothing picked before a disconnect is written after the next port open.
    void Stop();
    // Quiets the cycle for a preset or file operation, which restarts pacing itself when it
    // ends: like Stop, so no resting Timer4 or armed Timer7 restarts polling in the
    // operation's waits, but a frame already picked is written now rather than dropped.
    void Hold();

    // Sends every pending frame at the usual pace and returns once the cycle rests: nothing
    // pending or picked, and the 300 ms after the last write over. A preset or file operation
    // calls it before it quiets the cycle, so that the edits made just before it reach the
    // device first. Polling stays stopped meanwhile and afterwards. False when the link went
    // down first.
    bool SendQueued();
    // Nothing pending or picked, and no write or rest of the cycle under way.
    bool Resting() const;

    void ClearPending() { pending_.fill(false); }
    // After a whole block has replaced the model: no flag, and a slot already picked writes
    // nothing, since its frame was built from the values the block replaced.
    void DropAll() {
        ClearPending();
        currentSlot_ = 0;
    }
    bool IsPending(int slot) const;
    bool AnyPending() const;
    int CurrentSlot() const { return currentSlot_; }
    // The frame last built for slot 1..64; empty until first built.
    const QByteArray& SlotFrame(int slot) const;

  private:
    void Mark(int slot, QByteArray frame);

    ParameterModel& model_;
    SerialTransport& transport_;
    TimerHub& timers_;
    std::array<QByteArray, kSlotCount> slots_;
    std::array<bool, kFlagCount> pending_{};
    bool pollingHeld_ = false; // SendQueued runs: the rest after a write restarts no poll
    int currentSlot_ = 0;
};

} // namespace zx
