#include "presets/reply_wiring.h"

#include "link/connection.h"
#include "presets/device_presets.h"
#include "presets/preset_files.h"
#include "replies/reply_dispatcher.h"

namespace zx {

void WireReplies(ReplyDispatcher& dispatcher, Connection& connection, DevicePresets& presets,
                 PresetFiles& files) {
    ReplyHooks& hooks = dispatcher.hooks();
    hooks.deviceBlockApplied = [&connection] { connection.OnDeviceBlockApplied(); };
    hooks.handshakeBlockApplied = [&connection] { connection.OnHandshakeBlockApplied(); };
    hooks.lastRecalledText = [&presets](const QString& t) { presets.OnLastRecalled(t); };
    hooks.acknowledged = [&presets, &files] {
        presets.OnAcknowledged();
        files.OnAcknowledged();
    };
    // The block goes to whoever waits for it, in the order the dispatcher hands good ones on.
    hooks.blockDamaged = [&connection, &presets, &files] {
        if (files.SavePending)
            files.OnBlockDamaged();
        else if (presets.RecallPending)
            presets.OnBlockDamaged();
        else
            connection.OnBlockDamaged();
    };
    // Operations waiting for the device end with the link.
    connection.setDisconnectedHandler([&presets, &files] {
        presets.OnLinkClosed();
        files.OnLinkClosed();
    });
    // Block operations never overlap: each would take the other's block.
    presets.setBusyElsewhere([&files] { return files.Busy(); });
    files.setBusyElsewhere([&presets] { return presets.Busy(); });
    hooks.recallPending = [&presets] { return presets.RecallPending; };
    hooks.recallEnded = [&presets] { presets.OnRecallEnded(); };
    hooks.namesReceived = [&presets](const PresetNames& n) { presets.OnNamesReceived(n); };
    hooks.savePending = [&files] { return files.SavePending; };
    hooks.savedBlock = [&files](const QString& text) { files.OnSavedBlock(text); };
}

} // namespace zx
