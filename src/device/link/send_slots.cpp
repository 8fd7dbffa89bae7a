#include "link/send_slots.h"

#include <QScopeGuard>

#include "link/frame.h"
#include "link/serial_transport.h"
#include "platform/timer_hub.h"

namespace zx {

SendSlots::SendSlots(ParameterModel& model, SerialTransport& transport, TimerHub& timers)
    : model_(model), transport_(transport), timers_(timers) {
    timers_.setHandler(TimerId::sendTimer, [this] { OnSendTimer(); });
    // With no flag set a scan does nothing; Mark wakes it.
    timers_.setIdleWhile(TimerId::sendTimer, [this] { return !AnyPending(); });
    timers_.setHandler(TimerId::Timer7, [this] { OnTimer7(); });
    timers_.setHandler(TimerId::Timer4, [this] { OnTimer4(); });
}

int SendSlots::ChannelSettingsSlot(ChannelId ch) {
    if (ch < 0 || ch >= kChannelCount) return 0;
    // Inputs have two groups each, outputs three.
    return IsOutputChannel(ch) ? 5 + 3 * OutputIndex(ch) : 1 + 2 * ch;
}

int SendSlots::CrossoverSlot(ChannelId ch) {
    const int first = ChannelSettingsSlot(ch);
    return first == 0 ? 0 : first + 1;
}

int SendSlots::LimiterSlot(ChannelId ch) {
    return IsOutputChannel(ch) ? ChannelSettingsSlot(ch) + 2 : 0;
}

int SendSlots::EqBandSlot(EqBandId band) {
    return band >= 0 && band < kBandCount ? kFirstEqSlot + band : 0;
}

void SendSlots::BuildChannelSettings(ChannelId ch) {
    if (!transport_.LinkUp || ChannelSettingsSlot(ch) == 0) return;
    Mark(ChannelSettingsSlot(ch), ChannelSettingsFrame(model_, ch));
}

void SendSlots::BuildCrossover(ChannelId ch) {
    if (!transport_.LinkUp || CrossoverSlot(ch) == 0) return;
    Mark(CrossoverSlot(ch), CrossoverFrame(model_, ch));
}

void SendSlots::BuildLimiter(ChannelId ch) {
    if (!transport_.LinkUp || LimiterSlot(ch) == 0) return;
    Mark(LimiterSlot(ch), LimiterFrame(model_, ch));
}

void SendSlots::BuildEqBand(EqBandId band) {
    if (EqBandSlot(band) == 0) return;
    RefreshHalves(model_.bands[static_cast<std::size_t>(band)]);
    if (!transport_.LinkUp) return;
    Mark(EqBandSlot(band), EqBandFrame(model_, band));
}

void SendSlots::Mark(int slot, QByteArray frame) {
    slots_[static_cast<std::size_t>(slot - 1)] = std::move(frame);
    pending_[static_cast<std::size_t>(slot - 1)] = true;
    timers_.wake(TimerId::sendTimer);
}

void SendSlots::OnSendTimer() {
    if (!transport_.LinkUp) return;
    for (int i = 1; i <= kFlagCount; ++i) {
        auto& flag = pending_[static_cast<std::size_t>(i - 1)];
        if (!flag) continue;
        currentSlot_ = i;
        flag = false;
        // No poll goes out between the pick and the rest after the write, so the poll
        // watchdog cannot trip while edits keep coming.
        timers_.stop(TimerId::sendTimer);
        timers_.stop(TimerId::Timer1);
        timers_.stop(TimerId::intimer);
        timers_.start(TimerId::Timer7);
        return;
    }
}

void SendSlots::OnTimer7() {
    // Without the link the timer stays armed and tries again at its next tick.
    if (!transport_.LinkUp) return;
    timers_.stop(TimerId::Timer7);
    // The frame as it is now: a rebuild since the pick is in it.
    transport_.SendBuffer.clear();
    if (currentSlot_ >= 1 && currentSlot_ <= kSlotCount)
        transport_.SendBuffer.append(slots_[static_cast<std::size_t>(currentSlot_ - 1)]);
    transport_.WritePort();
    currentSlot_ = 0;
    timers_.start(TimerId::Timer4);
}

void SendSlots::OnTimer4() {
    timers_.stop(TimerId::Timer4);
    if (!pollingHeld_) timers_.start(TimerId::Timer1);
    timers_.start(TimerId::sendTimer);
}

void SendSlots::Stop() {
    timers_.stop(TimerId::sendTimer);
    timers_.stop(TimerId::Timer7);
    timers_.stop(TimerId::Timer4);
    currentSlot_ = 0;
}

void SendSlots::Hold() {
    const bool picked = timers_.isActive(TimerId::Timer7) && currentSlot_ >= 1;
    if (picked && transport_.LinkUp) {
        // The write Timer7 would have made, made early.
        transport_.SendBuffer.clear();
        if (currentSlot_ <= kSlotCount)
            transport_.SendBuffer.append(slots_[static_cast<std::size_t>(currentSlot_ - 1)]);
        transport_.WritePort();
    } else if (picked) {
        pending_[static_cast<std::size_t>(currentSlot_ - 1)] = true;
    }
    Stop();
}

bool SendSlots::Resting() const {
    return !AnyPending() && currentSlot_ == 0 && !timers_.isActive(TimerId::Timer7) &&
           !timers_.isActive(TimerId::Timer4);
}

bool SendSlots::SendQueued() {
    constexpr int kStepMs = 10;
    // Every slot once, each with its scan, its 200 ms before the write and 300 ms after it;
    // edits made meanwhile can only take slots that are already counted.
    constexpr int kLimitMs =
        (kFlagCount + 1) * (TimerInterval(TimerId::sendTimer) + TimerInterval(TimerId::Timer7) +
                            TimerInterval(TimerId::Timer4));
    // No poll goes out meanwhile: its answer could arrive in one read with the operation's
    // own reply.
    pollingHeld_ = true;
    const auto release = qScopeGuard([this] { pollingHeld_ = false; });
    timers_.stop(TimerId::Timer1);
    timers_.stop(TimerId::intimer);
    for (int waited = 0; transport_.LinkUp && !Resting(); waited += kStepMs) {
        if (waited >= kLimitMs) return false;
        // A cycle held by an earlier operation scans again.
        if (!timers_.isActive(TimerId::Timer7) && !timers_.isActive(TimerId::Timer4))
            timers_.start(TimerId::sendTimer);
        transport_.PumpWait(kStepMs);
    }
    return transport_.LinkUp;
}

bool SendSlots::IsPending(int slot) const {
    return slot >= 1 && slot <= kFlagCount && pending_[static_cast<std::size_t>(slot - 1)];
}

bool SendSlots::AnyPending() const {
    for (bool f : pending_)
        if (f) return true;
    return false;
}

const QByteArray& SendSlots::SlotFrame(int slot) const {
    static const QByteArray kEmpty;
    if (slot < 1 || slot > kSlotCount) return kEmpty;
    return slots_[static_cast<std::size_t>(slot - 1)];
}

} // namespace zx
