#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

#include "model/parameter_model.h"

namespace zx {

// The 552-byte block carrying a whole ParameterModel and a preset name; in the program it is
// handled as the 1128-character hex text of its 564-byte frame.
inline constexpr int kImageSize = 552;
inline constexpr int kBlockFrameSize = 564;
inline constexpr int kBlockFrameTextSize = 2 * kBlockFrameSize; // 1128 hex characters
inline constexpr int kImageChannelInputSize = 80;
inline constexpr int kImageChannelOutputSize = 88;
inline constexpr int kImageReservedOffset = 512;
inline constexpr int kImageNameOffset = 532;
inline constexpr int kImageNameSize = 20;
inline constexpr int kImageTextOffset = 20; // image byte p sits at characters 2p+21, 2p+22

int ChannelBlockOffset(ChannelId ch); // 0, 80, 160, 248, 336, 424
int BandRecordOffset(EqBandId band);  // 16 + 8k in inputs, 24 + 8k in outputs

// The image bytes of the model, laid out as on the wire (bypass and the name as held).
QByteArray ImageBytes(const ParameterModel& m);

// The frame text of the model for a file: type 52, index 00, address 00, bypass bytes 00,
// name field all 00, checksum "00", tail AA. Always 1128 characters.
QString WriteImageText(const ParameterModel& m);

// Parses a frame text of at least 1128 characters into the model: every field at its
// position, 16-bit halves as read, imageName from bytes 532..551, out-of-range indexes
// clamped. Returns false, leaving the model untouched, if the text is short or an image
// character is not a hex digit.
bool ReadImageText(QStringView text, ParameterModel& m);

// Copies what a filter list describes of channel `ch` from image `from` into image `into`: its
// gain, its high-pass and low-pass bytes and the seven used bytes of each of its eight band
// records. Every other byte of `into` stays as it is.
void CopyChannelFilterBytes(const QByteArray& from, QByteArray& into, ChannelId ch);
// Only the channel's eight band records (what a fit sets).
void CopyChannelBandBytes(const QByteArray& from, QByteArray& into, ChannelId ch);

// The 552 image bytes of a frame text (characters 21..1124), whatever its header says.
std::optional<QByteArray> ImagePayloadOfText(QStringView frameText);
// XOR of the 552 image bytes, the address byte and A3 (the header A1 00 28 00 02 28).
std::uint8_t BlockWriteChecksum(const QByteArray& image, std::uint8_t address = 0);

} // namespace zx
