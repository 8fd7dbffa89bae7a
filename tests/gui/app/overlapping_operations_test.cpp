#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

#include "link/frame.h"
#include "user_actions.h"

using namespace zx;

namespace {

// The program on the simulated amplifier, with a folder for its files.
struct Program {
    QTemporaryDir dir;
    TestPlatform tp;
    Application app{tp.platform()};
    UserActions user{tp, app, dir.path()};
    Program() { app.Start(); }
};

} // namespace

// Operations the user starts while another still waits for the device, with a healthy device:
// each ends with its message or none, the link stays usable, and the device holds what the
// screen shows.
TEST(OverlappingOperations, endWithTheDeviceAndTheScreenAgreeing) {
    struct Case {
        const char* name;
        std::function<void(UserActions&)> act;
        const char* messages = "";
    };
    const Case cases[] = {
        {"recall 200 ms after a file save asked for the block",
         [](UserActions& u) {
             u.pcStore(0);
             u.tp.advance(200);
             u.recall();
         }},
        {"recall before the names have come",
         [](UserActions& u) {
             u.app.window.connectButton()->click(); // disconnect
             u.tp.advance(500);
             u.app.window.connectButton()->click();
             EXPECT_TRUE(u.tp.runUntil([&u] { return u.panelsEnabled(); }, 2000));
             u.recall();
         }},
        {"three file saves within 700 ms, then a recall while their blocks arrive",
         [](UserActions& u) {
             u.pcStore(0);
             u.tp.advance(600);
             u.pcStore(1);
             u.tp.advance(100);
             u.pcStore(2);
             u.tp.advance(700);
             u.recall();
         }},
        // Each would empty the receive buffer under the block the other waits for.
        {"a file load 100 ms after a file save asked for the block",
         [](UserActions& u) {
             u.writeFile(3, ParameterModel());
             u.pcStore(0);
             u.tp.advance(100);
             u.pcLoad(3);
         }},
        {"a file save and a device store while a recall waits",
         [](UserActions& u) {
             u.recall();
             u.tp.advance(300);
             u.pcStore(0);
             u.deviceStore(QStringLiteral("late"));
         }},
        {"disconnect and connect while a file save waits",
         [](UserActions& u) {
             u.pcStore(0);
             u.app.window.connectButton()->click();
             u.tp.advance(1500); // the block asked for has gone by
             u.app.window.connectButton()->click();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program program;
        auto& [dir, tp, app, user] = program;
        ASSERT_TRUE(user.connectAndWait());
        // Preset 1 differs from the live settings, so a recall shows.
        QByteArray preset = tp.sim.liveImage();
        preset[4] = char(1);
        tp.sim.setSlot(1, preset, tp.sim.slotName(1));

        c.act(user);
        tp.advance(20000);
        EXPECT_EQ(tp.dialogs.messages().join(QStringLiteral(" | ")).toStdString(), c.messages);
        EXPECT_TRUE(user.connected());
        EXPECT_TRUE(user.atRest());
        EXPECT_TRUE(user.panelsEnabled());
        EXPECT_EQ(ComparableImage(ImageBytes(app.model)).toHex(),
                  ComparableImage(tp.sim.liveImage()).toHex());
    }
}

// The edits made just before a store go out first, at their pace, so the device, its slot or
// the file hold them; a store the device never acknowledged recalls nothing.
TEST(OverlappingOperations, aStoreKeepsTheEditsMadeJustBeforeIt) {
    struct Case {
        const char* name;
        std::function<void(UserActions&)> store;
        std::function<QByteArray(UserActions&)> stored; // the image the store kept
        const char* messages = "";
    };
    const Case cases[] = {
        {"device store", [](UserActions& u) { u.deviceStore(QStringLiteral("Stage")); },
         [](UserActions& u) { return u.tp.sim.slotImage(1); }},
        {"file save", [](UserActions& u) { u.pcStore(0); },
         [](UserActions& u) {
             QFile f(u.filePath(0));
             ParameterModel m;
             if (f.open(QIODevice::ReadOnly)) ReadImageText(QString::fromLatin1(f.readAll()), m);
             return ImageBytes(m);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program program;
        auto& [dir, tp, app, user] = program;
        ASSERT_TRUE(user.connectAndWait());
        for (ChannelId ch = 0; ch < 4; ++ch) user.toggleMuteAndPolarity(ch);
        c.store(user);
        tp.advance(20000);
        EXPECT_EQ(tp.dialogs.messages().join(QStringLiteral(" | ")).toStdString(), c.messages);
        for (ChannelId ch = 0; ch < 4; ++ch) EXPECT_EQ(app.model.channels[ch].mute, 1) << ch;
        const QByteArray shown = ComparableImage(ImageBytes(app.model)).toHex();
        EXPECT_EQ(ComparableImage(c.stored(user)).toHex(), shown);
        EXPECT_EQ(ComparableImage(tp.sim.liveImage()).toHex(), shown);
        EXPECT_TRUE(user.connected());
    }
}

TEST(OverlappingOperations, aStoreTheDeviceNeverTookRecallsNothing) {
    Program program;
    auto& [dir, tp, app, user] = program;
    ASSERT_TRUE(user.connectAndWait());
    user.toggleMuteAndPolarity(2);
    ASSERT_TRUE(tp.runUntil([&program] { return program.user.sendingDone(); }, 2000));
    tp.sim.faults.storeFrameLost = true;
    tp.sim.clearFrames();
    user.deviceStore(QStringLiteral("Stage"));
    tp.advance(20000);
    EXPECT_EQ(tp.dialogs.messages(), QStringList{QStringLiteral("overtime，try again.")});
    for (const QByteArray& f : tp.sim.framesFromPc()) EXPECT_NE(f, RecallRequest(1));
    // The live settings stay on device and screen, and no slot took the name.
    EXPECT_EQ(app.model.channels[2].mute, 1);
    EXPECT_EQ(ComparableImage(tp.sim.liveImage()).toHex(),
              ComparableImage(ImageBytes(app.model)).toHex());
    EXPECT_TRUE(app.window.presetArea()->activePresetField()->text().isEmpty());
    EXPECT_TRUE(user.connected());
}
