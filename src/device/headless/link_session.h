#pragma once

#include <QString>

#include <functional>

#include "headless/headless_dialogs.h"
#include "headless/headless_views.h"
#include "model/parameter_model.h"
#include "session/device_link.h"

namespace zx {

// The program's link without a window: the same DeviceLink the main window drives, with views
// that show nothing and dialogs that answer from the caller.
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
    DeviceLink link;

    // Generous bounds on the program's own time-outs, which end every wait earlier.
    static constexpr int kConnectLimitMs = 5000;
    static constexpr int kPollStepMs = 10;
    static constexpr int kSaveLimitMs = 20000;

  private:
    bool namesArrived_ = false;
    bool blockSaved_ = false;
};

} // namespace zx
