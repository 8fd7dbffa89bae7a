#include <QLineEdit>

#include "app/app_fixture.h"
#include "ui/preset_area.h"

namespace zx {
namespace {

QByteArray NameField(const QByteArray& name) {
    return QByteArray(name).append(kNameFieldSize - name.size(), '\0');
}

class DevicePresetsTest : public AppTest {
  protected:
    PresetArea* area() { return app.window.presetArea(); }
    QString activeName() { return area()->activePresetField()->text(); }
    // Answers the question Yes and the name dialog by typing text and pressing "OK".
    void scriptStore(const QString& typed) {
        tp.dialogs.answerYes(true);
        tp.dialogs.answerModal([typed](QDialog& d) {
            auto& dialog = static_cast<NameDialog&>(d);
            dialog.nameField()->setText(typed);
            dialog.okButton()->click();
            return dialog.result();
        });
    }
    bool recallIdle() {
        return !app.link.devicePresets.RecallPending && !app.window.progressBox()->isVisible() &&
               app.window.topBar()->isEnabled() && app.window.signalFlowPanel()->isEnabled() &&
               tp.clock.isActive(TimerId::Timer1) && tp.clock.isActive(TimerId::sendTimer);
    }
};

TEST_F(DevicePresetsTest, storeSendsTheTrimmedNameThenRecallsSlot1) {
    struct Case {
        QString typed;
        QByteArray stored;
    };
    const Case cases[] = {
        {QStringLiteral("  Bass\t"), "Bass"},
        {QString(), ""},
        {QStringLiteral("   "), ""},
        {QStringLiteral("ABCDEFGHIJKLMNOPQRS"), "ABCDEFGHIJKLMNOPQRS"},
    };
    connectAndWait();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const std::size_t framesBefore = tp.sim.frames().size();
        scriptStore(c.typed);
        area()->deviceStoreButton()->click();

        EXPECT_EQ(activeName(), QString::fromLatin1(c.stored));
        ASSERT_TRUE(tp.runUntil([&] { return recallIdle(); }, 3000));
        std::vector<SimAmplifier::FrameRecord> sent;
        for (std::size_t i = framesBefore; i < tp.sim.frames().size(); ++i)
            if (tp.sim.frames()[i].fromPc) sent.push_back(tp.sim.frames()[i]);
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[0].bytes, StoreNameFrame(1, NameField(c.stored)));
        EXPECT_EQ(sent[1].bytes.toHex(' ').toUpper(), "A5 A5 A5 00 A2 01 28 00 00 00 8B AA");
        EXPECT_GE(sent[1].atMs - sent[0].atMs, 1500);
        EXPECT_EQ(tp.sim.slotName(1), NameField(c.stored));
        // The recalled block carries the name, and the field shows it again.
        EXPECT_EQ(activeName(), QString::fromLatin1(c.stored));
        EXPECT_EQ(app.link.devicePresets.Selector.entries.value(0), "Usr1:" + QString(c.stored));
        EXPECT_FALSE(app.link.devicePresets.NameStorePending);
    }
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}

TEST_F(DevicePresetsTest, recallEndsWithTheBlockOrItsTimeOut) {
    struct Case {
        const char* name;
        int answerAtMs; // -1: never
    };
    const Case cases[] = {{"answered after 9 s", 9000}, {"never answered", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPlatform p;
        Application a(p.platform());
        a.Start();
        const QByteArray image = QByteArray(532, '\x01') + NameField("Slot one");
        p.sim.setSlot(1, image, "Slot one");
        a.window.connectButton()->click();
        ASSERT_TRUE(p.runUntil([&] { return p.clock.isActive(TimerId::Timer1); }, 3000));
        p.sim.faults.ignoreRecalls = true;
        const std::int64_t start = p.clock.nowUs() / 1000;
        a.window.presetArea()->deviceLoadButton()->click(); // returns after the request
        EXPECT_FALSE(a.window.topBar()->isEnabled());
        EXPECT_FALSE(p.clock.isActive(TimerId::Timer1));

        p.clock.advance(int(start + 8000 - p.clock.nowUs() / 1000) + 1);
        EXPECT_TRUE(a.window.progressBox()->isVisible());
        EXPECT_EQ(a.window.progressBox()->percent(), 100);
        if (c.answerAtMs > 0) {
            p.clock.advance(int(start + c.answerAtMs - p.clock.nowUs() / 1000));
            p.serial.inject(SimAmplifier::BlockFrame(1, p.sim.slotImage(1)));
        }
        p.clock.advance(int(start + 13000 - p.clock.nowUs() / 1000) - 1);
        const bool answered = c.answerAtMs > 0;
        EXPECT_EQ(a.window.progressBox()->isVisible(), !answered);
        p.clock.advance(2);
        EXPECT_FALSE(a.window.progressBox()->isVisible());
        EXPECT_TRUE(a.window.topBar()->isEnabled());
        EXPECT_TRUE(p.clock.isActive(TimerId::Timer1));
        EXPECT_EQ(p.dialogs.messages(),
                  answered ? QStringList()
                           : QStringList{QStringLiteral("overtime\uFF0Ctry again.")});
        EXPECT_EQ(a.window.presetArea()->activePresetField()->text(),
                  answered ? QStringLiteral("Slot one") : QString());
        EXPECT_EQ(a.model.channels[0].polarity, answered ? 1 : 0);
    }
}

TEST_F(DevicePresetsTest, theNamesListFillsTheSelector) {
    struct Case {
        int slot;
        QByteArray name;
        QString entry;
    };
    const Case cases[] = {{5, "ABC", "Usr5:ABC"}, {12, "", "Pre2:"}, {10, "Ten", "Usr10:Ten"}};
    for (const Case& c : cases) tp.sim.setSlot(c.slot, tp.sim.liveImage(), c.name);
    EXPECT_EQ(app.link.devicePresets.Selector.selectedIndex, -1);
    connectAndWait();
    ASSERT_EQ(app.link.devicePresets.Selector.entries.size(), 20);
    for (const Case& c : cases)
        EXPECT_EQ(app.link.devicePresets.Selector.entries[c.slot - 1], c.entry);
    EXPECT_EQ(app.link.devicePresets.Selector.entries[0], "Usr1:");
    EXPECT_EQ(app.link.devicePresets.Selector.selectedIndex, 0);
}

TEST_F(DevicePresetsTest, anEditPickedBeforeARecallIsWrittenAndNoPollInterrupts) {
    connectAndWait();
    app.model.channels[2].mute = 1;
    app.link.sendSlots.BuildChannelSettings(2);
    ASSERT_TRUE(tp.runUntil([this] { return tp.clock.isActive(TimerId::Timer7); }, 1000));
    const QByteArray edit = app.link.sendSlots.SlotFrame(SendSlots::ChannelSettingsSlot(2));
    const std::size_t before = pcFrames().size();
    area()->deviceLoadButton()->click();
    ASSERT_TRUE(tp.runUntil([this] { return recallIdle(); }, 3000));

    // The edit goes out at once, and nothing (no poll) comes between it and the request.
    const auto frames = pcFrames();
    ASSERT_GE(frames.size(), before + 2);
    EXPECT_EQ(frames[before], edit);
    EXPECT_EQ(frames[before + 1], RecallRequest(1));
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}

} // namespace
} // namespace zx
