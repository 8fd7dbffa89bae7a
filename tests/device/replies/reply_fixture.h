#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

#include "headless/headless_dialogs.h"
#include "headless/headless_views.h"
#include "link/frame.h"
#include "model/parameter_model.h"
#include "session/device_link.h"
#include "window_doubles/test_platform.h"

namespace zx::replytest {

inline QString HexOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// A frame as the device sends it: A5 A5 A5 00 type index command block len payload XOR AA.
inline QByteArray DeviceFrame(std::uint8_t type, std::uint8_t index, std::uint8_t command,
                              std::uint8_t block, const QByteArray& payload) {
    QByteArray f("\xA5\xA5\xA5", 3);
    f.append(char(0)).append(char(type)).append(char(index)).append(char(command));
    f.append(char(block)).append(char(payload.size() >> 8)).append(char(payload.size() & 0xFF));
    f.append(payload);
    std::uint8_t x = 0;
    for (int i = 3; i < f.size(); ++i) x ^= std::uint8_t(f[i]);
    f.append(char(x)).append(char(0xAA));
    return f;
}

inline QString BlockText(const QByteArray& image, std::uint8_t index = 0) {
    return HexOf(DeviceFrame(0x52, index, 0x28, 0, image));
}

// The reply path on the virtual line, with every hook recorded. The simulated amplifier
// stays silent, so the buffer holds only what a test puts there.
class ReplyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        p.sim.faults.silent = true;
        transport.SelectedPort = 3;
        ASSERT_TRUE(transport.OpenPort());
        // The link's own hooks give way to ones that record what the dispatcher hands on.
        ReplyHooks& h = dispatcher.hooks();
        h = ReplyHooks{};
        h.lastRecalledText = [this](const QString& t) { statusTexts.push_back(t); };
        h.acknowledged = [this] { events << QStringLiteral("ack"); };
        h.savePending = [this] { return savePending; };
        h.savedBlock = [this](const QString& text) {
            savePending = false;
            savedTexts.push_back(text);
            events << QStringLiteral("savedBlock");
        };
        h.deviceBlockApplied = [this] { events << QStringLiteral("deviceBlockApplied"); };
        h.recallPending = [this] { return recallPending; };
        h.recallEnded = [this] {
            recallPending = false;
            events << QStringLiteral("recallEnded");
        };
        h.handshakeBlockApplied = [this] { events << QStringLiteral("handshakeBlockApplied"); };
        h.namesReceived = [this](const PresetNames& n) {
            names.push_back(n);
            events << QStringLiteral("namesReceived");
        };
    }

    // Appends text as one read would and runs the dispatcher.
    void Receive(const QString& hex) {
        transport.RxHexBuffer += hex;
        dispatcher.DispatchReplies();
    }

    int WritesOf(const QByteArray& frame) const {
        int n = 0;
        for (const auto& w : p.serial.writes())
            if (w.bytes == frame) ++n;
        return n;
    }

    TestPlatform p;
    ParameterModel model;
    HeadlessDialogs dialogs;
    HeadlessConnectionView connectionView;
    HeadlessPresetView presetView;
    DeviceLink link{Platform{p.clock, p.clock, p.serial, p.ports, dialogs}, model, connectionView,
                    presetView};
    SerialTransport& transport = link.transport;
    SendSlots& sendSlots = link.sendSlots;
    ImageApplier& applier = link.applier;
    ReplyDispatcher& dispatcher = link.dispatcher;

    bool savePending = false;
    bool recallPending = false;
    QStringList events;
    std::vector<QString> statusTexts;
    std::vector<QString> savedTexts;
    std::vector<PresetNames> names;
};

} // namespace zx::replytest
