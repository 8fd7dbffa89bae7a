#pragma once

#include <QString>

#include <functional>

#include "headless/headless_dialogs.h"
#include "headless/headless_views.h"
#include "link/connection.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/parameter_model.h"
#include "platform/clock.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/timer_hub.h"
#include "presets/device_presets.h"
#include "presets/preset_files.h"
#include "replies/apply_image.h"
#include "replies/reply_dispatcher.h"

namespace zx {

// The program's link without a window: the same transport, send slots, image applier, reply
// dispatcher, connection lifecycle and preset operations the main window drives, wired the
// same way, with views that show nothing and dialogs that answer from the caller.
class LinkSession {
  public:
    LinkSession(TimerHub& t, Clock& clk, SerialDevice& serial, PortList& ports);
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Runs the connect button's handshake on the port entry and waits until the names have
    // arrived and polling runs. False, with the program's message in failure(), otherwise.
    bool Connect(const QString& portEntry);
    // The connect button while connected; nothing when the link is already down.
    void Disconnect();
    bool Connected() const;

    // Handles events until done() holds or a message has been shown; false on a message or
    // after limitMs.
    bool WaitFor(const std::function<bool()>& done, int limitMs);
    // The first message the program has shown, empty when none.
    QString failure() const;

    // The PC "Store" with the link up, its save dialog answered with path: the device's block
    // frame as received, CR LF. False with the message in failure().
    bool SaveDeviceBlock(const QString& path);
    // The same into a scratch file, read back: the device's frame text, empty on failure.
    QString ReadDeviceBlock();

    TimerHub& timers;
    Clock& clock;
    ParameterModel model;
    HeadlessDialogs dialogs;
    HeadlessConnectionView connectionView;
    HeadlessPresetView presetView;
    SerialTransport transport;
    SendSlots sendSlots;
    ImageApplier applier;
    ReplyDispatcher dispatcher;
    Connection connection;
    DevicePresets devicePresets;
    PresetFiles presetFiles;

    // Generous bounds on the program's own time-outs, which end every wait earlier.
    static constexpr int kConnectLimitMs = 5000;
    static constexpr int kPollStepMs = 10;
    static constexpr int kSaveLimitMs = 20000;

  private:
    bool namesArrived_ = false;
    bool blockSaved_ = false;
};

} // namespace zx
