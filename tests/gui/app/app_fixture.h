#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "app/application.h"
#include "link/frame.h"
#include "ui/progress_box.h"
#include "window_doubles/test_platform.h"

namespace zx {

// The whole program on the virtual clock, talking to the simulated amplifier on COM3.
class AppTest : public ::testing::Test {
  protected:
    AppTest() : app(tp.platform()) { app.Start(); }

    void clickConnect() { app.window.connectButton()->click(); }
    bool connected() const {
        return app.link.transport.LinkUp && tp.clock.isActive(TimerId::Timer1) &&
               !tp.clock.isActive(TimerId::chcon188);
    }
    // Connects and waits for the names; fails the test when the handshake does not end.
    void connectAndWait() {
        clickConnect();
        ASSERT_TRUE(tp.runUntil([this] { return connected(); }, 3000));
    }
    bool waitForMessage(int limitMs) {
        return tp.runUntil([this] { return !tp.dialogs.messages().isEmpty(); }, limitMs);
    }
    double nowMs() const { return tp.clock.nowUs() / 1000.0; }
    // When the first write began, and when it had gone out.
    double firstWriteEndMs() const {
        const auto& w = tp.serial.writes().front();
        return (w.atUs + VirtualSerialDevice::ByteTimeUs(w.bytes.size())) / 1000.0;
    }
    std::vector<QByteArray> pcFrames() const { return tp.sim.framesFromPc(); }
    // The device's frames that reached the line, latest last.
    double lastDeviceFrameMs() const {
        double last = -1;
        for (const auto& f : tp.sim.frames())
            if (!f.fromPc) last = static_cast<double>(f.atMs);
        return last;
    }
    QString caption() const { return app.window.connectButton()->text(); }

    TestPlatform tp;
    Application app;
};

} // namespace zx
