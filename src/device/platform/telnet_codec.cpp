#include "platform/telnet_codec.h"

namespace zx {

namespace {

constexpr std::uint32_t kBaudRate = 9600;
constexpr std::uint8_t kDataBits = 8;
constexpr std::uint8_t kNoParity = 1;
constexpr std::uint8_t kOneStopBit = 1;
constexpr std::uint8_t kNoFlowControl = 1;
// The server's answer to a command is the command plus this.
constexpr std::uint8_t kServerAnswer = 100;

QByteArray Setting(std::uint8_t command, std::uint8_t value) {
    QByteArray body;
    body.append(char(TelnetCodec::kComPort)).append(char(command)).append(char(value));
    return body;
}

void Sub(QByteArray& out, const QByteArray& body) {
    out.append(char(TelnetCodec::kIac));
    out.append(char(TelnetCodec::kSb));
    out.append(TelnetCodec::Escape(body));
    out.append(char(TelnetCodec::kIac));
    out.append(char(TelnetCodec::kSe));
}

} // namespace

QByteArray TelnetCodec::Escape(const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size() + data.count(char(kIac)));
    for (char c : data) {
        out.append(c);
        if (std::uint8_t(c) == kIac) out.append(c);
    }
    return out;
}

QByteArray TelnetCodec::LineSettings() {
    QByteArray out;
    QByteArray baud;
    baud.append(char(kComPort)).append(char(kSetBaudRate));
    for (int shift = 24; shift >= 0; shift -= 8) baud.append(char((kBaudRate >> shift) & 0xFF));
    Sub(out, baud);
    Sub(out, Setting(kSetDataSize, kDataBits));
    Sub(out, Setting(kSetParity, kNoParity));
    Sub(out, Setting(kSetStopSize, kOneStopBit));
    Sub(out, Setting(kSetControl, kNoFlowControl));
    return out;
}

bool TelnetCodec::WeOffer(std::uint8_t option) {
    return option == kComPort || option == kBinary || option == kSuppressGoAhead;
}

bool TelnetCodec::WeAccept(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead;
}

void TelnetCodec::say(std::uint8_t verb, std::uint8_t option) {
    replies_.append(char(kIac));
    replies_.append(char(verb));
    replies_.append(char(option));
}

QByteArray TelnetCodec::opening() {
    for (std::uint8_t option : {kComPort, kBinary, kSuppressGoAhead}) {
        us_[option] = Side::WantYes;
        say(kWill, option);
    }
    for (std::uint8_t option : {kBinary, kSuppressGoAhead}) {
        him_[option] = Side::WantYes;
        say(kDo, option);
    }
    return takeReplies();
}

QByteArray TelnetCodec::takeReplies() {
    QByteArray out;
    out.swap(replies_);
    return out;
}

// Each side's state moves as in RFC 1143: an answer to our own request is not answered
// again, so two ends can never loop.
void TelnetCodec::command(std::uint8_t verb, std::uint8_t option) {
    switch (verb) {
    case kDo:
        if (!WeOffer(option)) {
            say(kWont, option);
        } else if (us_[option] != Side::Yes) {
            if (us_[option] == Side::No) say(kWill, option);
            us_[option] = Side::Yes;
            if (option == kComPort) replies_.append(LineSettings());
        }
        break;
    case kDont:
        if (us_[option] == Side::Yes) say(kWont, option);
        us_[option] = Side::No;
        break;
    case kWill:
        if (!WeAccept(option)) {
            say(kDont, option);
        } else if (him_[option] != Side::Yes) {
            if (him_[option] == Side::No) say(kDo, option);
            him_[option] = Side::Yes;
        }
        break;
    case kWont:
        if (him_[option] == Side::Yes) say(kDont, option);
        him_[option] = Side::No;
        break;
    default:
        break;
    }
}

void TelnetCodec::subnegotiation() {
    // The server's answer to the baud rate carries the rate it set, high byte first.
    if (sub_.size() == 6 && std::uint8_t(sub_[0]) == kComPort &&
        std::uint8_t(sub_[1]) == kSetBaudRate + kServerAnswer) {
        reportedBaud_ = 0;
        for (int i = 2; i < 6; ++i) reportedBaud_ = (reportedBaud_ << 8) | std::uint8_t(sub_[i]);
    }
    // Line and modem state notices, flow-control requests: nothing the link needs.
    sub_.clear();
}

void TelnetCodec::appendSub(char c) {
    if (sub_.size() < kMaxSubnegotiation) {
        sub_.append(c);
        return;
    }
    // No option the link uses is this long: a server that never ends one would otherwise
    // grow it without limit.
    failed_ = true;
    sub_.clear();
}

QByteArray TelnetCodec::receive(const QByteArray& bytes) {
    QByteArray data;
    data.reserve(bytes.size());
    for (char c : bytes) {
        // After a broken negotiation nothing the server sends can be trusted as data.
        if (failed_) break;
        const auto b = std::uint8_t(c);
        switch (state_) {
        case State::Data:
            if (b == kIac)
                state_ = State::Iac;
            else
                data.append(c);
            break;
        case State::Iac:
            if (b == kIac) {
                data.append(c);
                state_ = State::Data;
            } else if (b >= kWill && b <= kDont) {
                verb_ = b;
                state_ = State::Option;
            } else if (b == kSb) {
                sub_.clear();
                state_ = State::Sub;
            } else {
                // NOP, go-ahead, break and the other one-byte commands carry no data.
                state_ = State::Data;
            }
            break;
        case State::Option:
            command(verb_, b);
            state_ = State::Data;
            break;
        case State::Sub:
            if (b == kIac)
                state_ = State::SubIac;
            else
                appendSub(c);
            break;
        case State::SubIac:
            if (b == kIac) {
                appendSub(c);
                state_ = State::Sub;
            } else {
                // IAC SE ends it; anything else after IAC ends a malformed one the same way.
                subnegotiation();
                state_ = State::Data;
            }
            break;
        }
    }
    return data;
}

} // namespace zx
