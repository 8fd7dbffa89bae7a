#pragma once

#include "link/connection.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/parameter_model.h"
#include "platform/platform.h"
#include "presets/device_presets.h"
#include "presets/preset_files.h"
#include "replies/apply_image.h"
#include "replies/reply_dispatcher.h"

namespace zx {

class ConnectionView;
class PresetView;

// The link to the amplifier as one object: the serial transport, the send slots, the image
// applier, the reply dispatcher, the connection lifecycle and the preset operations, wired to
// each other once. The window and the command-line program each own one and show what it
// does through the views and dialogs they hand in.
class DeviceLink {
  public:
    DeviceLink(const Platform& platform, ParameterModel& model, ConnectionView& connectionView,
               PresetView& presetView);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    SerialTransport transport;
    SendSlots sendSlots;
    ImageApplier applier;
    ReplyDispatcher dispatcher;
    Connection connection;
    DevicePresets devicePresets;
    PresetFiles presetFiles;
};

} // namespace zx
