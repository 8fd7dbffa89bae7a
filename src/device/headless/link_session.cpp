#include "headless/link_session.h"

#include <QFile>
#include <QTemporaryDir>

#include "platform/message_texts.h"

namespace zx {

LinkSession::LinkSession(TimerHub& t, Clock& clk, SerialDevice& serial, PortList& ports)
    : timers(t), clock(clk),
      link(Platform{t, clk, serial, ports, dialogs}, model, connectionView, presetView) {
    // The waits below need to know when the names and a saved block have come.
    ReplyHooks& hooks = link.dispatcher.hooks();
    hooks.namesReceived = [this, names = hooks.namesReceived](const PresetNames& n) {
        namesArrived_ = true;
        names(n);
    };
    hooks.savedBlock = [this, saved = hooks.savedBlock](const QString& text) {
        blockSaved_ = true;
        saved(text);
    };
}

bool LinkSession::WaitFor(const std::function<bool()>& done, int limitMs) {
    const std::uint64_t end = clock.tickMs() + std::uint64_t(limitMs);
    while (!done()) {
        if (!dialogs.messages().isEmpty() || clock.tickMs() >= end) return false;
        clock.pumpWait(kPollStepMs);
    }
    return dialogs.messages().isEmpty();
}

QString LinkSession::failure() const {
    return dialogs.messages().isEmpty() ? QString() : dialogs.messages().front();
}

bool LinkSession::Connected() const {
    return link.transport.LinkUp && link.connection.CaptionShowsConnect() && namesArrived_;
}

bool LinkSession::Connect(const QString& portEntry) {
    if (Connected()) return true;
    connectionView.wantedEntry = portEntry;
    link.connection.Startup();
    namesArrived_ = false;
    link.connection.OnConnectButton();
    if (WaitFor([this] { return Connected(); }, kConnectLimitMs)) return true;
    // Past every handshake deadline without a message cannot happen; report it as one.
    if (dialogs.messages().isEmpty()) dialogs.message(texts::kOvertime);
    return false;
}

void LinkSession::Disconnect() {
    if (link.connection.CaptionShowsConnect()) link.connection.OnConnectButton();
}

bool LinkSession::SaveDeviceBlock(const QString& path) {
    dialogs.saveAnswer = path;
    blockSaved_ = false;
    link.presetFiles.OnStoreButton();
    return WaitFor([this] { return blockSaved_ && !link.presetFiles.SavePending; }, kSaveLimitMs);
}

QString LinkSession::ReadDeviceBlock() {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        dialogs.message(texts::kCannotSave);
        return {};
    }
    const QString path = dir.filePath(QStringLiteral("block"));
    if (!SaveDeviceBlock(path)) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs.message(texts::kCannotOpen);
        return {};
    }
    return QString::fromLatin1(file.readAll()).trimmed();
}

} // namespace zx
