#pragma once

namespace zx {

class Connection;
class DevicePresets;
class PresetFiles;
class ReplyDispatcher;

// Hands the dispatcher's replies and the end of the link to the connection lifecycle and the
// preset operations: the one wiring of the link that the window and the command-line program
// share.
void WireReplies(ReplyDispatcher& dispatcher, Connection& connection, DevicePresets& presets,
                 PresetFiles& files);

} // namespace zx
