#include "session/device_link.h"

namespace zx {

DeviceLink::DeviceLink(const Platform& p, ParameterModel& model, ConnectionView& connectionView,
                       PresetView& presetView)
    : transport(p.serial, p.ports, p.clock), sendSlots(model, transport, p.timers),
      applier(model, transport, sendSlots), dispatcher(transport, p.timers, applier),
      connection(transport, p.timers, p.dialogs, sendSlots, connectionView),
      devicePresets(transport, p.timers, p.dialogs, sendSlots, model, connection.progressCounter,
                    presetView),
      presetFiles(transport, p.timers, p.dialogs, sendSlots, applier, model, presetView) {
    transport.setDispatcher([this] { dispatcher.DispatchReplies(); });
    // Every block applied shows its name; a window replaces this with its whole refresh.
    applier.setImageAppliedHandler([this] { devicePresets.ShowImageName(); });

    ReplyHooks& hooks = dispatcher.hooks();
    hooks.deviceBlockApplied = [this] { connection.OnDeviceBlockApplied(); };
    hooks.handshakeBlockApplied = [this] { connection.OnHandshakeBlockApplied(); };
    hooks.lastRecalledText = [this](const QString& t) { devicePresets.OnLastRecalled(t); };
    hooks.acknowledged = [this] {
        devicePresets.OnAcknowledged();
        presetFiles.OnAcknowledged();
    };
    // The block goes to whoever waits for it, in the order the dispatcher hands good ones on.
    hooks.blockDamaged = [this] {
        if (presetFiles.WaitsForBlock())
            presetFiles.OnBlockDamaged();
        else if (devicePresets.RecallPending)
            devicePresets.OnBlockDamaged();
        else
            connection.OnBlockDamaged();
    };
    // Operations waiting for the device end with the link.
    connection.setDisconnectedHandler([this] {
        devicePresets.OnLinkClosed();
        presetFiles.OnLinkClosed();
    });
    // Block operations never overlap: each would take the other's block.
    devicePresets.setBusyElsewhere([this] { return presetFiles.Busy(); });
    presetFiles.setBusyElsewhere([this] { return devicePresets.Busy(); });
    hooks.recallPending = [this] { return devicePresets.RecallPending; };
    hooks.recallEnded = [this] { devicePresets.OnRecallEnded(); };
    hooks.namesReceived = [this](const PresetNames& n) { devicePresets.OnNamesReceived(n); };
    hooks.savePending = [this] { return presetFiles.WaitsForBlock(); };
    hooks.savedBlock = [this](const QString& text) { presetFiles.OnSavedBlock(text); };
}

} // namespace zx
