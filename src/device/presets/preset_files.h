#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace zx {

class Dialogs;
class ImageApplier;
class PresetView;
class SendSlots;
class SerialTransport;
class TimerHub;
struct ParameterModel;

// Preset files on the PC (their form: preset_file_text.h). With the link up a save takes the
// device's own block and a load writes the file's block to the device; with the link down both work
// on the program's model alone.
class PresetFiles {
  public:
    // Takes over the handlers of Timer15 and saveTimer.
    PresetFiles(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs,
                SendSlots& sendSlots, ImageApplier& applier, const ParameterModel& model,
                PresetView& view);

    void OnStoreButton(); // PC "Store"
    void OnLoadButton();  // PC "Load"

    // The reply dispatcher's saved-block hook: the device's frame, exactly as it arrived.
    void OnSavedBlock(const QString& frameText);
    // The link has closed: a save still waiting for its block ends, or the next connection's
    // block would be taken for the file.
    void OnLinkClosed();
    // A damaged block arrived while a save waits: the save asks for it once more.
    void OnBlockDamaged();
    void OnAcknowledged();

    // A file save or load waits for the device, or edits are being sent before a save.
    bool Busy() const;
    // The next block from the device is this operation's: a file save's, or the read-back of
    // a load the device did not acknowledge. The dispatcher hands it to OnSavedBlock.
    bool WaitsForBlock() const { return SavePending || verifying_; }
    // Whether a store or recall waits for the device; a file save or a load to the device then
    // does nothing, since the two would take each other's block.
    void setBusyElsewhere(std::function<bool()> busy) { busyElsewhere_ = std::move(busy); }

    // Writes the image of a frame text (at least 1124 characters) to the device as its
    // current settings, with a checksum of its own; only while the link is up.
    void WriteImageBlock(QStringView frameText);

    bool SavePending = false;
    int progressCounter = 0; // Timer15's ticks
    // The last load to the device was taken: acknowledged, or read back as written. Without
    // either the load ends with "overtime，try again." and the screen shows what the device
    // holds.
    bool LoadTaken = false;

    static constexpr int kSaveStepWaitMs = 50;
    static constexpr int kHeaderWaitMs = 100;
    static constexpr int kProgressSteps = 20;

  private:
    void StoreLinkUp();
    void StoreLinkDown();
    // Asks for a file name and writes text and CR LF; reports a failed write, which leaves an
    // existing file as it was.
    void SaveText(const QString& text);
    void LoadToDevice(const QString& text);
    void LoadToModel(const QString& text);
    // Applies a frame text as an image, keeping what the receive buffer holds.
    void ApplyText(const QString& text);
    void ReadBack();
    void OnReadBack(const QString& frameText);
    void EndProgressRun();
    void ResumePolling();
    void OnTimer15();
    void OnSaveTimeout();

    SerialTransport& transport_;
    TimerHub& timers_;
    Dialogs& dialogs_;
    SendSlots& sendSlots_;
    ImageApplier& applier_;
    const ParameterModel& model_;
    PresetView& view_;
    std::function<bool()> busyElsewhere_;
    bool sendingQueued_ = false;
    bool blockAskedAgain_ = false;
    bool awaitingBlockAck_ = false;
    bool verifying_ = false;
    QString writtenText_; // the load's block until it is taken or refused
};

} // namespace zx
