#include "presets/device_presets.h"

#include "link/frame.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/parameter_model.h"
#include "platform/dialogs.h"
#include "platform/message_texts.h"
#include "platform/timer_hub.h"
#include "presets/preset_view.h"

namespace zx {

QString PresetOvertimeText() {
    return texts::kPresetOvertime;
}

DevicePresets::DevicePresets(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs,
                             SendSlots& sendSlots, const ParameterModel& model,
                             int& progressCounter, PresetView& view)
    : transport_(transport), timers_(timers), dialogs_(dialogs), sendSlots_(sendSlots),
      model_(model), progressCounter_(progressCounter), view_(view) {
    timers_.setHandler(TimerId::Timer2, [this] { OnTimer2(); });
    timers_.setHandler(TimerId::Timer3, [this] { OnTimer3(); });
}

QString DevicePresets::SlotLabel(int slot) {
    return slot <= 10 ? QStringLiteral("Usr%1:").arg(slot)
                      : QStringLiteral("Pre%1:").arg(slot - 10);
}

QString DevicePresets::TrimName(const QString& name) {
    const auto cut = [](QChar c) {
        return c == QLatin1Char(' ') || c.category() == QChar::Other_Control;
    };
    qsizetype begin = 0, end = name.size();
    while (begin < end && cut(name[begin])) ++begin;
    while (end > begin && cut(name[end - 1])) --end;
    return name.mid(begin, end - begin);
}

QString DevicePresets::ShownName(const QString& field) {
    const qsizetype zero = field.indexOf(QChar(0));
    return zero < 0 ? field : field.left(zero);
}

void DevicePresets::OnStoreButton() {
    if (!transport_.LinkUp || Busy() || (busyElsewhere_ && busyElsewhere_())) return;
    if (!dialogs_.askYesNo(texts::kStoreCaption, texts::kStoreQuestion)) return;
    view_.askPresetName();
}

void DevicePresets::OnLoadButton() {
    view_.hideEditor();
    if (Selector.selectedIndex >= 0 && Selector.selectedIndex < kPresetSlotCount)
        RecallPreset(Selector.selectedIndex);
}

void DevicePresets::OnNameAccepted(const QString& typed) {
    // Without the device's acknowledgement slot 1 holds what it held before; recalling it
    // would replace the live settings with that.
    if (StorePresetName(1, TrimName(typed))) OnLoadButton();
}

void DevicePresets::StopPolling() {
    // A resting or armed send cycle would start polling again inside the waits below, and a
    // poll empties the receive buffer in the middle of the block.
    sendSlots_.Hold();
    timers_.stop(TimerId::Timer1);
    timers_.stop(TimerId::intimer);
}

bool DevicePresets::StorePresetName(int slot, const QString& name) {
    if (!transport_.LinkUp || slot < 1 || slot > kPresetSlotCount) return false;
    if (Busy() || (busyElsewhere_ && busyElsewhere_())) return false;
    const QString trimmed = TrimName(name).left(kNameFieldSize - 1);
    storing_ = true;
    // The edits made just before the store belong in the slot.
    const bool sent = sendSlots_.SendQueued();
    StopPolling();
    if (!sent) {
        storing_ = false;
        return false;
    }
    NameStorePending = true;
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = StoreNameFrame(slot, QStringView(trimmed));
    transport_.WritePort();
    transport_.PumpWait(kStoreWaitMs);
    storing_ = false;
    if (!transport_.LinkUp) return false; // the disconnect has ended everything
    if (NameStorePending) {
        NameStorePending = false;
        timers_.start(TimerId::Timer1);
        timers_.start(TimerId::sendTimer);
        dialogs_.message(PresetOvertimeText());
        return false;
    }
    view_.setActivePresetName(trimmed);
    PresetNameList[static_cast<std::size_t>(slot - 1)] = trimmed;
    RebuildSelector();
    return true;
}

void DevicePresets::EnablePanels(bool enabled) {
    view_.setTopBarEnabled(enabled);
    view_.setSignalFlowPanelEnabled(enabled);
}

void DevicePresets::RecallPreset(int index) {
    if (!transport_.LinkUp || index < 0 || index >= kPresetSlotCount) return;
    if (Busy() || (busyElsewhere_ && busyElsewhere_())) return;
    RecallPending = true;
    recallSlot_ = index + 1;
    recallAsked_ = false;
    StopPolling();
    timers_.stop(TimerId::Timer2);
    timers_.start(TimerId::Timer2);
    progressCounter_ = 0;
    timers_.stop(TimerId::Timer3);
    timers_.start(TimerId::Timer3);
    view_.setProgressPercent(0);
    view_.showProgressBox(true);
    EnablePanels(false);

    transport_.PumpWait(kRecallRequestDelayMs);
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = RecallRequest(index + 1);
    transport_.WritePort();
}

void DevicePresets::OnBlockDamaged() {
    if (!RecallPending || recallAsked_ || recallSlot_ == 0) return;
    // Asking again brings the same slot; the recall's 13 s leave room for it.
    recallAsked_ = true;
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = RecallRequest(recallSlot_);
    transport_.WritePort();
}

void DevicePresets::OnTimer3() {
    ++progressCounter_;
    view_.setProgressPercent(progressCounter_ * 5);
    if (progressCounter_ >= kProgressSteps) timers_.stop(TimerId::Timer3);
}

void DevicePresets::OnRecallEnded() {
    RecallPending = false;
    view_.showProgressBox(false);
    EnablePanels(true);
}

void DevicePresets::OnLinkClosed() {
    NameStorePending = false;
    if (!RecallPending) return;
    // Its time-out would otherwise show its message into the next connection and start
    // polling in the middle of that connection's handshake.
    timers_.stop(TimerId::Timer2);
    timers_.stop(TimerId::Timer3);
    OnRecallEnded();
}

void DevicePresets::OnTimer2() {
    RecallPending = false;
    timers_.stop(TimerId::Timer3);
    timers_.stop(TimerId::Timer2);
    view_.showProgressBox(false);
    EnablePanels(true);
    timers_.start(TimerId::Timer1);
    timers_.start(TimerId::sendTimer);
    dialogs_.message(PresetOvertimeText());
}

void DevicePresets::RebuildSelector() {
    Selector.entries.clear();
    for (int slot = 1; slot <= kPresetSlotCount; ++slot)
        Selector.entries << SlotLabel(slot) +
                                ShownName(PresetNameList[static_cast<std::size_t>(slot - 1)]);
    Selector.selectedIndex = 0;
}

void DevicePresets::OnNamesReceived(const PresetNames& names) {
    PresetNameList = names;
    RebuildSelector();
    ShowImageName();
}

void DevicePresets::ShowImageName() {
    view_.setActivePresetName(ShownName(model_.imageName));
}

} // namespace zx
