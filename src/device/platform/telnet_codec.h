#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

namespace zx {

// The client's side of a Telnet connection to a serial device server: the data bytes both
// ways with the command byte 0xFF (IAC) escaped, and the options negotiated. The client
// offers the com-port option and, once the server accepts it, sets the server's serial line
// to 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control. The data is binary both
// ways (transmit-binary and suppress-go-ahead are asked for); a server that declines binary
// still gets and gives the bytes as they are.
class TelnetCodec {
  public:
    // Telnet's command bytes and the options the client uses.
    enum : std::uint8_t {
        kSe = 240,
        kNop = 241,
        kSb = 250,
        kWill = 251,
        kWont = 252,
        kDo = 253,
        kDont = 254,
        kIac = 255,
    };
    enum : std::uint8_t { kBinary = 0, kSuppressGoAhead = 3, kComPort = 44 };
    // The com-port option's client commands; the server answers each with 100 added.
    enum : std::uint8_t {
        kSetBaudRate = 1,
        kSetDataSize = 2,
        kSetParity = 3,
        kSetStopSize = 4,
        kSetControl = 5,
    };

    // What the client sends as soon as the connection stands.
    QByteArray opening();
    // Data for the server: every 0xFF doubled.
    static QByteArray Escape(const QByteArray& data);
    // Bytes from the server in, the data among them out. Commands and negotiation may be split
    // anywhere across calls; the answers they need collect for takeReplies().
    QByteArray receive(const QByteArray& bytes);
    // What the client has to send the server now (answers, the line settings).
    QByteArray takeReplies();

    // The server has taken the com-port option, and the line settings have gone out.
    bool comPortAccepted() const { return us_[kComPort] == Side::Yes; }
    // The server's acknowledgement of the baud rate (0 until it came).
    std::uint32_t reportedBaudRate() const { return reportedBaud_; }

    // The line settings as subnegotiations.
    static QByteArray LineSettings();

    // A subnegotiation ran past kMaxSubnegotiation bytes: the connection cannot be trusted
    // and is to be ended; receive() passes nothing on any more.
    bool failed() const { return failed_; }
    static constexpr qsizetype kMaxSubnegotiation = 256;

  private:
    enum class Side : std::uint8_t { No, WantYes, Yes };
    enum class State : std::uint8_t { Data, Iac, Option, Sub, SubIac };

    static bool WeOffer(std::uint8_t option);
    static bool WeAccept(std::uint8_t option);
    void command(std::uint8_t verb, std::uint8_t option);
    void subnegotiation();
    void appendSub(char c);
    void say(std::uint8_t verb, std::uint8_t option);

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    QByteArray sub_;
    QByteArray replies_;
    std::array<Side, 256> us_{};  // the options this side performs (WILL)
    std::array<Side, 256> him_{}; // the options the server performs (DO)
    std::uint32_t reportedBaud_ = 0;
    bool failed_ = false;
};

} // namespace zx
