#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "replies/reply_dispatcher.h"

namespace zx {

class Dialogs;
class PresetView;
class SendSlots;
class SerialTransport;
class TimerHub;
struct ParameterModel;

// The never-shown list of the twenty slots as "Usr1:name" .. "Pre10:name". It is rebuilt as a
// whole, and every rebuild selects the first entry; before the first one nothing is selected.
struct PresetSelector {
    QStringList entries;
    int selectedIndex = -1;
};

// The amplifier's twenty preset slots: storing the device's settings under a name, recalling a
// slot with its progress box and 13 s time-out, the names the device reports and the name of
// the active preset. Slots count 1..20 on the wire and 0..19 in the lists.
class DevicePresets {
  public:
    // Takes over the handlers of Timer2 and Timer3. progressCounter is shared with the
    // connecting progress.
    DevicePresets(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs,
                  SendSlots& sendSlots, const ParameterModel& model, int& progressCounter,
                  PresetView& view);

    // The Device "Store" button: the question, then the name dialog.
    void OnStoreButton();
    // The Device "Load" button: recalls the selected slot (slot 1 after every rebuild).
    void OnLoadButton();
    // The name dialog's "OK": stores the name in slot 1, then recalls slot 1.
    void OnNameAccepted(const QString& typed);

    // Sends the edits still queued, then the store frame, and returns after 500 ms. True when
    // the device acknowledged it: the name is then shown and listed, and polling and sending
    // stay stopped for the recall that follows. Without the acknowledgement the slot keeps
    // its old contents, so nothing may recall it: "overtime，try again." and polling resumes.
    bool StorePresetName(int slot, const QString& name);
    // Sends the recall request for slot index + 1 after 1000 ms and returns; the block or
    // the time-out ends the recall later. Refused while another block operation waits.
    void RecallPreset(int index);

    // The reply dispatcher's hand-overs.
    void OnNamesReceived(const PresetNames& names);
    void OnRecallEnded();
    // The link has closed: a recall still waiting ends without its block.
    void OnLinkClosed();
    void OnAcknowledged() { NameStorePending = false; }
    // A damaged block arrived while a recall waits: the recall asks for it once more.
    void OnBlockDamaged();
    void OnLastRecalled(const QString& statusText) { LastLoadGroupText = statusText; }
    // Shows the name field of the image last applied.
    void ShowImageName();

    // "Usr1:" .. "Usr10:", "Pre1:" .. "Pre10:" for slot 1..20.
    static QString SlotLabel(int slot);
    // Without leading and trailing spaces and control characters.
    static QString TrimName(const QString& name);
    // A name field as shown: up to its first zero character.
    static QString ShownName(const QString& field);

    // A store or a recall waits for the device.
    bool Busy() const { return storing_ || RecallPending; }
    // Whether a file operation waits for the device; a store or recall then does nothing,
    // since the two would take each other's block.
    void setBusyElsewhere(std::function<bool()> busy) { busyElsewhere_ = std::move(busy); }

    PresetNames PresetNameList;
    PresetSelector Selector;
    QString LastLoadGroupText; // kept, not shown
    bool NameStorePending = false;
    bool RecallPending = false;

    static constexpr int kStoreWaitMs = 500;
    static constexpr int kRecallRequestDelayMs = 1000;
    static constexpr int kProgressSteps = 20;

  private:
    void RebuildSelector();
    void OnTimer2();
    void OnTimer3();
    void StopPolling();
    void EnablePanels(bool enabled);

    SerialTransport& transport_;
    TimerHub& timers_;
    Dialogs& dialogs_;
    SendSlots& sendSlots_;
    const ParameterModel& model_;
    int& progressCounter_;
    PresetView& view_;
    std::function<bool()> busyElsewhere_;
    bool storing_ = false;
    int recallSlot_ = 0;       // the slot the recall waiting asked for, 1..20
    bool recallAsked_ = false; // its block has been asked for a second time
};

// "overtime，try again." with its full-width comma: a recall or a file save got no block.
QString PresetOvertimeText();

} // namespace zx
