#include "replies/reply_dispatcher.h"

#include "link/frame.h"
#include "link/serial_transport.h"
#include "platform/timer_hub.h"
#include "replies/apply_image.h"

namespace zx {

namespace {

// Characters 9..20 (frame bytes 4..9: type, index, command, block, length) of the buffer.
bool KeyIs(const QString& buffer, const char* key) {
    return QStringView(buffer).mid(8, 12) == QLatin1StringView(key);
}

// Frame byte n as text: characters 2n+1 and 2n+2.
QStringView ByteText(const QString& buffer, int n) {
    return QStringView(buffer).mid(2 * n, 2);
}

template <typename F, typename... Args> void Call(const F& f, Args&&... args) {
    if (f) f(std::forward<Args>(args)...);
}

bool Flag(const std::function<bool()>& f) {
    return f && f();
}

} // namespace

ReplyDispatcher::ReplyDispatcher(SerialTransport& transport, TimerHub& timers,
                                 ImageApplier& applier, ReplyHooks hooks)
    : transport_(transport), timers_(timers), applier_(applier), hooks_(std::move(hooks)) {}

QString ReplyDispatcher::LastLoadGroupText(unsigned n) {
    const QString group = n > 10 ? QStringLiteral("Pre") : QStringLiteral("Usr");
    const unsigned number = n > 10 ? n - 10 : n;
    return QStringLiteral("The last load group:") + group + QString::number(number) +
           QString(9, QLatin1Char(' '));
}

void ReplyDispatcher::DispatchReplies() {
    // Any byte at all ends the first handshake stage and satisfies the poll watchdog.
    timers_.stop(TimerId::chcon);
    timers_.stop(TimerId::intimer);

    // Every complete reply in the buffer is handled before the call returns: nothing may wait
    // for bytes that never come (an acknowledgement behind a poll answer, with polling stopped).
    const QString& rx = transport_.RxHexBuffer;
    for (qsizetype before = rx.size(); DispatchPass() && !rx.isEmpty() && rx.size() != before;)
        before = rx.size();
}

bool ReplyDispatcher::DispatchPass() {
    QString& rx = transport_.RxHexBuffer;
    if (rx.size() >= kBufferLimit) rx.clear();
    if (!rx.startsWith(QLatin1StringView(kSyncText))) rx.clear();

    if (KeyIs(rx, kKeyPollLong) && rx.size() >= 2 * kPollLongSize) rx.remove(0, 2 * kPollLongSize);

    if (KeyIs(rx, kKeyLastRecalled) && rx.size() >= 2 * kLastRecalledSize) {
        const unsigned n = HexValue(ByteText(rx, kHeaderSize)).value_or(0);
        Call(hooks_.lastRecalledText, LastLoadGroupText(n));
        rx.remove(0, 2 * kLastRecalledSize);
    }

    if (KeyIs(rx, kKeyPollShort) && rx.size() >= 2 * kPollShortSize) {
        // Whatever follows a short poll answer is taken by the next pass.
        rx.remove(0, 2 * kPollShortSize);
        return true;
    }

    if (KeyIs(rx, kKeyAck21) && rx.size() >= 2 * kAckSize) rx.remove(0, 2 * kAckSize);

    if (KeyIs(rx, kKeyAck00) && rx.size() >= 2 * kAckSize) {
        Call(hooks_.acknowledged);
        rx.remove(0, 2 * kAckSize);
    }

    // A block is taken only when exactly its 564 bytes are present; the index byte is not
    // looked at, so a recalled slot's block counts like the live one.
    if (ByteText(rx, 4) == QLatin1StringView("52") && ByteText(rx, 6) == QLatin1StringView("28") &&
        rx.size() == kBlockFrameTextSize) {
        if (FrameTextIntact(rx)) {
            HandleBlock();
        } else {
            rx.clear();
            Call(hooks_.blockDamaged);
        }
        return false;
    }

    if (QStringView(rx).mid(8, 6) == QLatin1StringView(kKeyNamesPrefix) &&
        rx.size() >= 2 * kNamesMinSize) {
        HandleNames();
        return false;
    }
    return true;
}

void ReplyDispatcher::HandleBlock() {
    timers_.stop(TimerId::chcon112);

    if (Flag(hooks_.savePending)) {
        const QString text = transport_.RxHexBuffer;
        transport_.RxHexBuffer.clear();
        Call(hooks_.savedBlock, text);
        // A recall started while the file save waited has stopped polling for its own block
        // and starts it again when that block arrives; a poll now would empty the buffer under
        // it, and the device would hold the recalled preset while the screen keeps the old one.
        if (!Flag(hooks_.recallPending)) {
            timers_.start(TimerId::Timer1);
            timers_.start(TimerId::sendTimer);
        }
        return;
    }

    applier_.ApplyPresetImage();
    Call(hooks_.deviceBlockApplied);

    if (Flag(hooks_.recallPending)) {
        timers_.stop(TimerId::Timer2);
        timers_.stop(TimerId::Timer3);
        Call(hooks_.recallEnded);
        timers_.start(TimerId::Timer1);
        timers_.start(TimerId::sendTimer);
        return;
    }

    // The end of the second connect stage, and also a block nobody waited for (one arriving
    // after a recall timed out): ask for the names, which start polling and sending.
    timers_.stop(TimerId::Timer10);
    Call(hooks_.handshakeBlockApplied);
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = NamesRequest();
    transport_.WritePort();
}

void ReplyDispatcher::HandleNames() {
    timers_.stop(TimerId::chcon188);

    const QString& rx = transport_.RxHexBuffer;
    PresetNames names;
    for (int k = 0; k < kPresetSlotCount; ++k) {
        QString name;
        name.reserve(kNameFieldSize);
        for (int i = 0; i < kNameFieldSize; ++i) {
            const int byte = kHeaderSize + kNameFieldSize * k + i;
            name.append(QChar(static_cast<char16_t>(HexValue(ByteText(rx, byte)).value_or(0))));
        }
        names[static_cast<std::size_t>(k)] = name;
    }
    Call(hooks_.namesReceived, names);

    // Anything behind the names' 412 bytes goes with them.
    transport_.RxHexBuffer.clear();
    // A recall or file save started before the names came (the panels are enabled once the
    // block is in) starts polling when its own block has arrived.
    if (Flag(hooks_.recallPending) || Flag(hooks_.savePending)) return;
    timers_.start(TimerId::sendTimer);
    timers_.start(TimerId::Timer1);
}

} // namespace zx
