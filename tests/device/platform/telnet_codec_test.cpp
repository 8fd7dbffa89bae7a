#include <gtest/gtest.h>

#include "platform/telnet_codec.h"

namespace zx {
namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// 9600 baud (00 00 25 80), 8 data bits, no parity (1), 1 stop bit (1), no flow control (1),
// each as IAC SB COM-PORT-OPTION(44) command value IAC SE.
const char kLineSettings[] = "fffa2c0100002580fff0"
                             "fffa2c0208fff0"
                             "fffa2c0301fff0"
                             "fffa2c0401fff0"
                             "fffa2c0501fff0";

TEST(TelnetCodec, openingOffersTheComPortOptionAndAsksForBinaryBothWays) {
    TelnetCodec t;
    // WILL COM-PORT, WILL BINARY, WILL SGA, DO BINARY, DO SGA.
    EXPECT_EQ(t.opening().toHex(), "fffb2cfffb00fffb03fffd00fffd03");
    EXPECT_FALSE(t.comPortAccepted());
}

TEST(TelnetCodec, escapeDoublesEveryFF) {
    const std::vector<std::pair<const char*, const char*>> table = {
        {"", ""},
        {"a5a5a5", "a5a5a5"},
        {"ff", "ffff"},
        {"ffff", "ffffffff"},
        {"00ff0dff", "00ffff0dffff"},
    };
    for (const auto& [in, out] : table)
        EXPECT_EQ(TelnetCodec::Escape(Hex(in)).toHex(), QByteArray(out)) << in;
}

// Every byte value, escaped and read back by a codec, comes through unchanged whatever the
// reads' boundaries.
TEST(TelnetCodec, everyByteValueSurvivesEscapingSplitAnywhere) {
    QByteArray data;
    for (int i = 0; i < 256; ++i) data.append(char(i));
    data.append(Hex("ffffff00ff"));
    const QByteArray wire = TelnetCodec::Escape(data);
    for (qsizetype cut = 0; cut <= wire.size(); ++cut) {
        TelnetCodec t;
        QByteArray got = t.receive(wire.left(cut));
        got += t.receive(wire.mid(cut));
        ASSERT_EQ(got.toHex(), data.toHex()) << "cut at " << cut;
        EXPECT_TRUE(t.takeReplies().isEmpty());
    }
}

// What the server sends after the client's opening: the data among it and the client's
// answers. Each row is fed whole and split at every position, with the same result.
TEST(TelnetCodec, serverCommandsTable) {
    struct Row {
        const char* name;
        const char* fromServer;
        const char* data;
        const char* replies;
        bool comPort;
    };
    const std::string settings = kLineSettings;
    const std::vector<Row> table = {
        {"plain data", "a5a5a50052", "a5a5a50052", "", false},
        {"an escaped FF is one data byte", "a5ffffaa", "a5ffaa", "", false},
        {"DO COM-PORT: the line settings follow", "fffd2c", "", kLineSettings, true},
        {"DO COM-PORT twice: the settings once", "fffd2cfffd2c", "", kLineSettings, true},
        {"DONT COM-PORT: refused, not answered", "fffe2c", "", "", false},
        {"DO an option not offered: WONT", "fffd18", "", "fffc18", false},
        {"WILL ECHO: DONT", "fffb01", "", "fffe01", false},
        {"WILL BINARY answers our DO: nothing", "fffb00", "", "", false},
        {"WILL BINARY then WONT BINARY: DONT", "fffb00fffc00", "", "fffe00", false},
        {"DO BINARY answers our WILL: nothing", "fffd00", "", "", false},
        {"NOP and go-ahead carry no data", "41fff1fff942", "4142", "", false},
        {"the server's baud answer inside data", "41fffa2c6500002580fff042", "4142", "", false},
        {"an escaped FF inside a notice", "fffa2c6affff0ffff043", "43", "", false},
        {"negotiation between data bytes", "a5fffd2ca5", "a5a5", kLineSettings, true},
    };
    for (const Row& row : table) {
        const QByteArray in = Hex(row.fromServer);
        for (qsizetype cut = 0; cut <= in.size(); ++cut) {
            TelnetCodec t;
            t.opening();
            QByteArray data = t.receive(in.left(cut));
            QByteArray replies = t.takeReplies();
            data += t.receive(in.mid(cut));
            replies += t.takeReplies();
            EXPECT_EQ(data.toHex(), QByteArray(row.data)) << row.name << ", cut at " << cut;
            EXPECT_EQ(replies.toHex(), QByteArray(row.replies)) << row.name << ", cut at " << cut;
            EXPECT_EQ(t.comPortAccepted(), row.comPort) << row.name;
        }
    }
}

// A server that asks first gets the offer and the settings in answer.
// A subnegotiation is kept up to its bound; one that runs past it ends the connection's
// trust: nothing after it comes through as data.
TEST(TelnetCodec, aSubnegotiationPastItsBoundFailsTheConnection) {
    const struct {
        qsizetype length;
        bool fails;
    } rows[] = {{TelnetCodec::kMaxSubnegotiation, false},
                {TelnetCodec::kMaxSubnegotiation + 1, true},
                {100000, true}};
    for (const auto& r : rows) {
        TelnetCodec t;
        const QByteArray sub = Hex("fffa") + QByteArray(r.length, 'x') + Hex("fff0");
        EXPECT_EQ(t.receive(sub + "data"), r.fails ? QByteArray() : QByteArray("data")) << r.length;
        EXPECT_EQ(t.failed(), r.fails) << r.length;
    }
}

TEST(TelnetCodec, doComPortBeforeTheOfferIsAnsweredWithWillAndTheSettings) {
    TelnetCodec t;
    t.receive(Hex("fffd2c"));
    EXPECT_EQ(t.takeReplies().toHex(), QByteArray("fffb2c") + kLineSettings);
    EXPECT_TRUE(t.comPortAccepted());
}

} // namespace
} // namespace zx
