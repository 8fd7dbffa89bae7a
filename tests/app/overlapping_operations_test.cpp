#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

#include "user_actions.h"

using namespace zx;

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
        {"a file load 100 ms after a file save asked for the block",
         [](UserActions& u) {
             u.writeFile(3, ParameterModel());
             u.pcStore(0);
             u.tp.advance(100);
             u.pcLoad(3);
         },
         // The load empties the receive buffer under the block the save waits for.
         "overtime，try again."},
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
        QTemporaryDir dir;
        TestPlatform tp;
        Application app(tp.platform());
        app.Start();
        UserActions user{tp, app, dir.path()};
        ASSERT_TRUE(user.connectAndWait());
        // The device's live settings differ from preset 1, so a recall shows.
        QByteArray live = tp.sim.liveImage();
        live[4] = char(1);
        tp.sim.setLiveImage(live);

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
