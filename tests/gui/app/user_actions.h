#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <random>

#include "app/application.h"
#include "model/preset_image.h"
#include "ui/channel_page.h"
#include "ui/channel_strips.h"
#include "ui/name_dialog.h"
#include "ui/preset_area.h"
#include "ui/progress_box.h"
#include "window_doubles/test_platform.h"

namespace zx {

// What a user does, through the windows, on the program under test: buttons clicked and
// dialogs answered by script.
struct UserActions {
    TestPlatform& tp;
    Application& app;
    QString dir; // where files are saved and loaded

    PresetArea* presets() const { return app.window.presetArea(); }
    bool captionShowsConnect() const {
        return app.window.connectButton()->text() == QStringLiteral("Connect");
    }
    bool connected() const {
        return app.link.transport.LinkUp && tp.clock.isActive(TimerId::Timer1) &&
               !tp.clock.isActive(TimerId::chcon188);
    }
    bool connectAndWait() {
        if (captionShowsConnect()) app.window.connectButton()->click();
        app.window.connectButton()->click();
        return tp.runUntil([this] { return connected(); }, 4000);
    }
    void toggleMuteAndPolarity(ChannelId ch) {
        app.window.strips()->muteButton(ch)->click();
        app.window.strips()->polButton(ch)->click();
    }
    void recall() { presets()->deviceLoadButton()->click(); }
    void deviceStore(const QString& name) {
        tp.dialogs.answerYes(true);
        tp.dialogs.answerModal([name](QDialog& d) {
            auto& dialog = static_cast<NameDialog&>(d);
            dialog.nameField()->setText(name);
            dialog.okButton()->click();
            return int(dialog.result());
        });
        presets()->deviceStoreButton()->click();
    }
    QString filePath(int n) const { return dir + QStringLiteral("/preset%1.txt").arg(n); }
    void pcStore(int n) {
        tp.dialogs.answerSave(filePath(n));
        presets()->pcStoreButton()->click();
    }
    void pcLoad(int n) {
        tp.dialogs.answerOpen(filePath(n));
        presets()->pcLoadButton()->click();
    }
    // A file holding the program's current settings, as the link-down "Store" writes it.
    void writeFile(int n, const ParameterModel& model) const {
        QFile f(filePath(n));
        if (f.open(QIODevice::WriteOnly)) f.write(WriteImageText(model).toLatin1() + "\r\n");
    }
    void resetEq(ChannelId ch) {
        app.editor.showChannel(ch);
        tp.dialogs.answerYes(true);
        app.editor.channelPage(ch)->resetButton()->click();
    }

    // Nothing of an operation is left running or shown.
    bool atRest() const {
        for (TimerId t :
             {TimerId::Timer2, TimerId::Timer3, TimerId::Timer5, TimerId::Timer10, TimerId::Timer15,
              TimerId::saveTimer, TimerId::chcon, TimerId::chcon112, TimerId::chcon188})
            if (tp.clock.isActive(t)) return false;
        return !app.window.connectingBox()->isVisible() && !app.window.progressBox()->isVisible() &&
               !app.editor.progressBox()->isVisible();
    }
    bool panelsEnabled() const {
        return app.window.topBar()->isEnabled() && app.window.graphPanel()->isEnabled() &&
               app.window.signalFlowPanel()->isEnabled();
    }
    // Every edit has gone out and the send cycle is back to scanning.
    bool sendingDone() const {
        return !app.link.sendSlots.AnyPending() && app.link.sendSlots.CurrentSlot() == 0 &&
               !tp.clock.isActive(TimerId::Timer7) && !tp.clock.isActive(TimerId::Timer4);
    }
};

// The image with the bytes that edits never send (bypass and the name) blanked.
inline QByteArray ComparableImage(QByteArray image) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) image[ChannelBlockOffset(ch) + 6] = 0;
    for (int i = kImageNameOffset; i < kImageNameOffset + kImageNameSize; ++i) image[i] = 0;
    return image;
}

} // namespace zx
