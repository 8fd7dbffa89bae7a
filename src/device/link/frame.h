#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

#include "model/hex_codec.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"

namespace zx {

// Frame layout: A5 A5 A5, address, type, index, command, block, length (high byte first),
// payload, XOR of bytes 3..9+len, AA.
inline constexpr std::uint8_t kSync = 0xA5;
inline constexpr std::uint8_t kTail = 0xAA;
inline constexpr std::uint8_t kDeviceAddress = 0x00; // the one address every PC frame carries

inline constexpr std::uint8_t kTypePcWrite = 0xA1;
inline constexpr std::uint8_t kTypePcRequest = 0xA2;
inline constexpr std::uint8_t kTypeDeviceAck = 0x51;
inline constexpr std::uint8_t kTypeDeviceData = 0x52;

inline constexpr std::uint8_t kCmdLastRecalled = 0x21;
inline constexpr std::uint8_t kCmdNames = 0x26;
inline constexpr std::uint8_t kCmdStoreName = 0x27;
inline constexpr std::uint8_t kCmdBlock = 0x28;
inline constexpr std::uint8_t kCmdPoll = 0x2B;

inline constexpr int kHeaderSize = 10;
inline constexpr int kParameterPayloadSize = 8;
inline constexpr int kParameterFrameSize = 20;
inline constexpr int kRequestFrameSize = 12;
inline constexpr int kNameFieldSize = 20;
inline constexpr int kNameStoreFrameSize = 32;

std::uint8_t FrameChecksum(const QByteArray& frameWithoutChecksum); // XOR of bytes 3..end
QByteArray BuildFrame(std::uint8_t type, std::uint8_t index, std::uint8_t command,
                      std::uint8_t block, const QByteArray& payload);

// The 12-byte requests.
QByteArray LiveBlockRequest();                // A2 00 28
QByteArray RecallRequest(int presetSlotWire); // A2 n 28, n = 1..20
QByteArray PollRequest();                     // A2 00 2B
QByteArray NamesRequest();                    // A2 00 26

// Block numbers of a channel's parameter writes: 0 settings, 1 crossover, 2 limiter
// (outputs only), then the eight EQ bands (2..9 for inputs, 3..10 for outputs).
inline constexpr int kBlockChannelSettings = 0;
inline constexpr int kBlockCrossover = 1;
inline constexpr int kBlockLimiter = 2;
constexpr int EqBandBlock(ChannelId ch, int band) {
    return (IsOutputChannel(ch) ? 3 : 2) + band;
}

// The 8-byte payloads, from the model (16-bit fields from their stored byte halves).
QByteArray ChannelSettingsPayload(const ParameterModel& m, ChannelId ch);
QByteArray CrossoverPayload(const ParameterModel& m, ChannelId ch);
QByteArray LimiterPayload(const ParameterModel& m, ChannelId ch); // empty for an input
QByteArray EqBandPayload(const ParameterModel& m, EqBandId band);

// The 20-byte parameter writes A1 00 ch blk 00 08.
QByteArray ChannelSettingsFrame(const ParameterModel& m, ChannelId ch);
QByteArray CrossoverFrame(const ParameterModel& m, ChannelId ch);
QByteArray LimiterFrame(const ParameterModel& m, ChannelId ch); // empty for an input
QByteArray EqBandFrame(const ParameterModel& m, EqBandId band);

// The 32-byte name store A1 n 27 00 00 14: the name's bytes, cut or zero-filled to 20.
QByteArray StoreNameFrame(int presetSlotWire, const QByteArray& name);
// The same for a name typed by the user: one Latin-1 byte per character.
QByteArray StoreNameFrame(int presetSlotWire, QStringView name);

// The live block write: the 10-byte header A5 A5 A5 00 A1 00 28 00 02 28, and the 554 bytes
// that follow it (the 552 image bytes of a frame text, their checksum and AA).
QByteArray BlockWriteHeader();
// nullopt when the text is shorter than a block frame or holds a non-hex digit in the image.
std::optional<QByteArray> BlockWriteBody(QStringView frameText);
// A received frame's hex text ends in the XOR of its bytes 3 onwards and AA; a byte changed
// on the line breaks that.
bool FrameTextIntact(QStringView frameText);

// Recognition keys of the device's replies, as hex text of frame bytes 4..9 (characters 9..20
// of the receive buffer, counted from 1).
inline constexpr char kKeyPollShort[] = "52002B000008";
inline constexpr char kKeyPollLong[] = "52002B000014";
inline constexpr char kKeyLastRecalled[] = "520021000008";
inline constexpr char kKeyAck21[] = "510021000000";
inline constexpr char kKeyAck00[] = "510000000000";
inline constexpr char kKeyBlockLength[] = "0228";   // with type 52 and command 28, any index
inline constexpr char kKeyNamesPrefix[] = "520026"; // bytes 4..6
inline constexpr char kSyncText[] = "A5A5A5";

inline constexpr int kPollShortSize = 20;
inline constexpr int kPollLongSize = 32;
inline constexpr int kLastRecalledSize = 20;
inline constexpr int kAckSize = 12;
inline constexpr int kNamesMinSize = 412;

} // namespace zx
