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
    hooks.nameStoreAcknowledged = [&presets] { presets.OnNameStoreAcknowledged(); };
    hooks.recallPending = [&presets] { return presets.RecallPending; };
    hooks.recallEnded = [&presets] { presets.OnRecallEnded(); };
    hooks.namesReceived = [&presets](const PresetNames& n) { presets.OnNamesReceived(n); };
    hooks.savePending = [&files] { return files.SavePending; };
    hooks.savedBlock = [&files](const QString& text) { files.OnSavedBlock(text); };
}

} // namespace zx
