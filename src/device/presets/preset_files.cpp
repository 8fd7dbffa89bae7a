#include "presets/preset_files.h"

#include "link/frame.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/preset_image.h"
#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "platform/message_texts.h"
#include "platform/timer_hub.h"
#include "presets/device_presets.h"
#include "presets/preset_file_text.h"
#include "presets/preset_view.h"
#include "replies/apply_image.h"

#include <utility>

namespace zx {
namespace {

const QString kFilterText = QStringLiteral("ZEPHRANOX FILE");
const QString kDefaultName = QStringLiteral("ZEPHRANOX");
using texts::kCannotOpen;
using texts::kCannotSave;
using texts::kDamaged;

} // namespace

PresetFiles::PresetFiles(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs,
                         SendSlots& sendSlots, ImageApplier& applier, const ParameterModel& model,
                         PresetView& view)
    : transport_(transport), timers_(timers), dialogs_(dialogs), sendSlots_(sendSlots),
      applier_(applier), model_(model), view_(view) {
    timers_.setHandler(TimerId::Timer15, [this] { OnTimer15(); });
    timers_.setHandler(TimerId::saveTimer, [this] { OnSaveTimeout(); });
}

void PresetFiles::OnStoreButton() {
    if (transport_.LinkUp)
        StoreLinkUp();
    else
        StoreLinkDown();
}

bool PresetFiles::Busy() const {
    return WaitsForBlock() || sendingQueued_ || timers_.isActive(TimerId::Timer15);
}

void PresetFiles::StoreLinkUp() {
    // A second click while the device sends the block asked for would clear the half-received
    // block and ask for another; the block that then comes last is taken by whatever operation
    // waits next (a recall would show the settings from before it). The first save goes on,
    // and so does a store or recall waiting for the device.
    if (Busy() || (busyElsewhere_ && busyElsewhere_())) return;
    view_.hideEditor();
    // The file holds the device's block, so the edits still queued go to the device first.
    sendingQueued_ = true;
    const bool sent = sendSlots_.SendQueued(); // stops polling first
    sendingQueued_ = false;
    if (!sent) return;
    sendSlots_.Hold();
    SavePending = true;
    blockAskedAgain_ = false;
    // The device has answered a block request well within this at 9600 baud; without an
    // answer polling and sending would stay stopped for good.
    timers_.stop(TimerId::saveTimer);
    timers_.start(TimerId::saveTimer);
    transport_.PumpWait(kSaveStepWaitMs);
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = LiveBlockRequest();
    transport_.WritePort();
    transport_.PumpWait(kSaveStepWaitMs);
}

void PresetFiles::OnSaveTimeout() {
    timers_.stop(TimerId::saveTimer);
    if (!WaitsForBlock()) return;
    SavePending = false;
    // A load neither acknowledged nor read back: the screen keeps what it showed, the
    // device's settings from before the load as far as the program knows.
    if (std::exchange(verifying_, false)) EndProgressRun();
    timers_.start(TimerId::Timer1);
    timers_.start(TimerId::sendTimer);
    dialogs_.message(PresetOvertimeText());
}

void PresetFiles::OnBlockDamaged() {
    if (!WaitsForBlock() || blockAskedAgain_) return;
    blockAskedAgain_ = true;
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = LiveBlockRequest();
    transport_.WritePort();
    timers_.stop(TimerId::saveTimer);
    timers_.start(TimerId::saveTimer);
}

void PresetFiles::OnAcknowledged() {
    if (!awaitingBlockAck_) return;
    awaitingBlockAck_ = false;
    // The device has taken the block: from now on the screen shows it.
    LoadTaken = true;
    ApplyText(writtenText_);
}

void PresetFiles::OnLinkClosed() {
    awaitingBlockAck_ = false;
    SavePending = false;
    writtenText_.clear();
    // A read-back that will not come ends the progress run it holds open.
    if (std::exchange(verifying_, false)) EndProgressRun();
    timers_.stop(TimerId::saveTimer);
}

void PresetFiles::OnSavedBlock(const QString& frameText) {
    timers_.stop(TimerId::saveTimer);
    if (std::exchange(verifying_, false)) {
        OnReadBack(frameText);
        return;
    }
    SavePending = false;
    // The dispatcher restarts polling and sending once this returns.
    SaveText(frameText.left(kBlockFrameTextSize));
}

void PresetFiles::StoreLinkDown() {
    SaveText(WriteImageText(model_));
}

void PresetFiles::SaveText(const QString& text) {
    const QString fileName = dialogs_.saveFileName(kFilterText, kDefaultName);
    if (fileName.isEmpty()) return;
    if (!SaveWholeFile(fileName, PresetFileBytes(text))) dialogs_.message(kCannotSave);
}

void PresetFiles::ResumePolling() {
    timers_.start(TimerId::Timer1);
    timers_.start(TimerId::sendTimer);
}

void PresetFiles::OnLoadButton() {
    const bool linkUp = transport_.LinkUp;
    // Writing a block while another operation waits for the device's block would empty the
    // receive buffer under it.
    if (linkUp && (Busy() || (busyElsewhere_ && busyElsewhere_()))) return;
    if (linkUp) {
        view_.hideEditor();
        // A poll or a paced frame must not land between the block's header and its body.
        sendSlots_.Hold();
        timers_.stop(TimerId::Timer1);
        timers_.stop(TimerId::intimer);
    }

    const QString fileName = dialogs_.openFileName(kFilterText, QString());
    if (fileName.isEmpty()) {
        if (linkUp) ResumePolling();
        return;
    }
    const PresetFileRead file = ReadPresetFile(fileName);
    const std::optional<QString>& text = file.frameText;
    if (!text) {
        if (linkUp) ResumePolling();
        dialogs_.message(file.opened ? kDamaged : kCannotOpen);
        return;
    }
    if (linkUp)
        LoadToDevice(*text);
    else
        LoadToModel(*text);
}

void PresetFiles::LoadToDevice(const QString& text) {
    view_.setProgressPercent(0);
    view_.showProgressBox(true);
    view_.setTopBarEnabled(false);
    view_.setSignalFlowPanelEnabled(false);
    progressCounter = 0;
    timers_.stop(TimerId::Timer15);
    timers_.start(TimerId::Timer15);

    // The file replaces every setting: an edit still queued would undo part of it, and the
    // next acknowledgement must be the block's.
    sendSlots_.DropAll();
    LoadTaken = false;
    writtenText_ = text;
    // The screen shows the file once the device has taken it, on its acknowledgement or on
    // a read-back that matches; never before.
    WriteImageBlock(text);
    // Sending goes on during the progress run.
    timers_.start(TimerId::sendTimer);
}

void PresetFiles::ApplyText(const QString& text) {
    // The receive buffer may hold replies behind the one being handled; they stay.
    const QString kept = std::exchange(transport_.RxHexBuffer, text);
    applier_.ApplyPresetImage();
    transport_.RxHexBuffer = kept;
}

void PresetFiles::LoadToModel(const QString& text) {
    ApplyText(text);
    // The apply leaves the link flag set; there is no link.
    transport_.LinkUp = false;
}

void PresetFiles::OnTimer15() {
    ++progressCounter;
    view_.setProgressPercent(progressCounter * 5);
    if (progressCounter < kProgressSteps) return;
    timers_.stop(TimerId::Timer15);
    if (transport_.LinkUp && !LoadTaken && !writtenText_.isEmpty()) {
        // No acknowledgement: a device that takes blocks silently is asked what it holds.
        ReadBack();
        return;
    }
    writtenText_.clear();
    // The link may have closed during the progress run; polling then waits for a connect.
    if (transport_.LinkUp) timers_.start(TimerId::Timer1);
    EndProgressRun();
}

void PresetFiles::ReadBack() {
    verifying_ = true;
    blockAskedAgain_ = false;
    sendSlots_.Hold();
    timers_.stop(TimerId::saveTimer);
    timers_.start(TimerId::saveTimer);
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = LiveBlockRequest();
    transport_.WritePort();
}

void PresetFiles::OnReadBack(const QString& frameText) {
    const QString written = std::exchange(writtenText_, QString());
    LoadTaken = ImagePayloadOfText(frameText) == ImagePayloadOfText(written);
    // What the device holds, whether it took the file or not. The dispatcher restarts
    // polling and sending once this returns.
    ApplyText(frameText);
    EndProgressRun();
    if (!LoadTaken) dialogs_.message(PresetOvertimeText());
}

void PresetFiles::EndProgressRun() {
    view_.showProgressBox(false);
    view_.setGraphPanelEnabled(true);
    view_.setTopBarEnabled(true);
    view_.setSignalFlowPanelEnabled(true);
}

void PresetFiles::WriteImageBlock(QStringView frameText) {
    awaitingBlockAck_ = false;
    if (!transport_.LinkUp) return;
    const std::optional<QByteArray> body = BlockWriteBody(frameText);
    if (!body) return;
    transport_.SendBuffer = BlockWriteHeader();
    transport_.WritePort();
    transport_.PumpWait(kHeaderWaitMs);
    // Polling is stopped and the queue held, so the next acknowledgement is the block's.
    awaitingBlockAck_ = true;
    transport_.SendBuffer = *body;
    transport_.WritePort();
}

} // namespace zx
