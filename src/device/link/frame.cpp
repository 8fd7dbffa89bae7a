#include "link/frame.h"

#include "model/preset_image.h"

namespace zx {

namespace {

QByteArray ParameterFrame(ChannelId ch, int block, const QByteArray& payload) {
    return BuildFrame(kTypePcWrite, 0x00, static_cast<std::uint8_t>(ch),
                      static_cast<std::uint8_t>(block), payload);
}

QByteArray Request(std::uint8_t index, std::uint8_t command) {
    return BuildFrame(kTypePcRequest, index, command, 0x00, {});
}

char Byte(unsigned v) {
    return static_cast<char>(static_cast<std::uint8_t>(v));
}

} // namespace

std::uint8_t FrameChecksum(const QByteArray& frameWithoutChecksum) {
    std::uint8_t sum = 0;
    for (qsizetype i = 3; i < frameWithoutChecksum.size(); ++i)
        sum ^= static_cast<std::uint8_t>(frameWithoutChecksum[i]);
    return sum;
}

QByteArray BuildFrame(std::uint8_t type, std::uint8_t index, std::uint8_t command,
                      std::uint8_t block, const QByteArray& payload) {
    const auto len = static_cast<unsigned>(payload.size());
    QByteArray frame;
    frame.reserve(kHeaderSize + payload.size() + 2);
    frame.append(3, Byte(kSync));
    frame.append(Byte(kDeviceAddress));
    frame.append(Byte(type));
    frame.append(Byte(index));
    frame.append(Byte(command));
    frame.append(Byte(block));
    frame.append(Byte(len >> 8));
    frame.append(Byte(len));
    frame.append(payload);
    frame.append(Byte(FrameChecksum(frame)));
    frame.append(Byte(kTail));
    return frame;
}

QByteArray LiveBlockRequest() {
    return Request(0x00, kCmdBlock);
}

QByteArray RecallRequest(int presetSlotWire) {
    return Request(static_cast<std::uint8_t>(presetSlotWire), kCmdBlock);
}

QByteArray PollRequest() {
    return Request(0x00, kCmdPoll);
}

QByteArray NamesRequest() {
    return Request(0x00, kCmdNames);
}

QByteArray ChannelSettingsPayload(const ParameterModel& m, ChannelId ch) {
    const ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
    const unsigned route = IsOutputChannel(ch) ? m.output(ch).routeSource : 0;
    const char payload[kParameterPayloadSize] = {Byte(c.mute),
                                                 Byte(c.polarity),
                                                 Byte(c.gainIndex),
                                                 Byte(route),
                                                 Byte(c.delayHalves.low),
                                                 Byte(c.delayHalves.high),
                                                 Byte(c.bypass),
                                                 0};
    return QByteArray(payload, kParameterPayloadSize);
}

QByteArray CrossoverPayload(const ParameterModel& m, ChannelId ch) {
    const ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
    const char payload[kParameterPayloadSize] = {
        Byte(c.hpfFreqIndex), Byte(c.hpfType), Byte(c.lpfFreqIndex), Byte(c.lpfType), 0, 0, 0, 0};
    return QByteArray(payload, kParameterPayloadSize);
}

QByteArray LimiterPayload(const ParameterModel& m, ChannelId ch) {
    if (!IsOutputChannel(ch)) return {};
    const OutputParams& o = m.output(ch);
    const char payload[kParameterPayloadSize] = {Byte(o.limiterThresholdIndex),
                                                 Byte(o.limiterAttackIndex),
                                                 Byte(o.limiterReleaseIndex),
                                                 Byte(o.limiterRatioIndex),
                                                 0,
                                                 0,
                                                 0,
                                                 0};
    return QByteArray(payload, kParameterPayloadSize);
}

QByteArray EqBandPayload(const ParameterModel& m, EqBandId band) {
    const EqBandParams& b = m.bands[static_cast<std::size_t>(band)];
    const char payload[kParameterPayloadSize] = {Byte(b.freqIndex),
                                                 Byte(b.type),
                                                 Byte(b.peakGainHalves.low),
                                                 Byte(b.peakGainHalves.high),
                                                 Byte(b.shelfGainHalves.low),
                                                 Byte(b.shelfGainHalves.high),
                                                 Byte(b.qIndex),
                                                 0};
    return QByteArray(payload, kParameterPayloadSize);
}

QByteArray ChannelSettingsFrame(const ParameterModel& m, ChannelId ch) {
    return ParameterFrame(ch, kBlockChannelSettings, ChannelSettingsPayload(m, ch));
}

QByteArray CrossoverFrame(const ParameterModel& m, ChannelId ch) {
    return ParameterFrame(ch, kBlockCrossover, CrossoverPayload(m, ch));
}

QByteArray LimiterFrame(const ParameterModel& m, ChannelId ch) {
    // Block 2 of an input channel is its first EQ band, so an input gets no limiter frame.
    if (!IsOutputChannel(ch)) return {};
    return ParameterFrame(ch, kBlockLimiter, LimiterPayload(m, ch));
}

QByteArray EqBandFrame(const ParameterModel& m, EqBandId band) {
    const ChannelId ch = ChannelOfBand(band);
    return ParameterFrame(ch, EqBandBlock(ch, band % kBandsPerChannel), EqBandPayload(m, band));
}

QByteArray StoreNameFrame(int presetSlotWire, const QByteArray& name) {
    QByteArray field = name.left(kNameFieldSize);
    field.append(kNameFieldSize - field.size(), '\0');
    return BuildFrame(kTypePcWrite, static_cast<std::uint8_t>(presetSlotWire), kCmdStoreName, 0x00,
                      field);
}

QByteArray StoreNameFrame(int presetSlotWire, QStringView name) {
    return StoreNameFrame(presetSlotWire, name.toLatin1());
}

QByteArray BlockWriteHeader() {
    const char header[kHeaderSize] = {
        Byte(kSync), Byte(kSync),     Byte(kSync), Byte(kDeviceAddress),  Byte(kTypePcWrite),
        0x00,        Byte(kCmdBlock), 0x00,        Byte(kImageSize >> 8), Byte(kImageSize)};
    return QByteArray(header, kHeaderSize);
}

bool FrameTextIntact(QStringView frameText) {
    const QByteArray bytes = QByteArray::fromHex(frameText.toLatin1());
    if (bytes.size() < kHeaderSize + 2 || 2 * bytes.size() != frameText.size()) return false;
    if (static_cast<std::uint8_t>(bytes.back()) != kTail) return false;
    // Bytes 3 up to and with the checksum XOR to zero.
    return FrameChecksum(bytes.first(bytes.size() - 1)) == 0;
}

std::optional<QByteArray> BlockWriteBody(QStringView frameText) {
    std::optional<QByteArray> body = ImagePayloadOfText(frameText);
    if (!body) return std::nullopt;
    body->append(Byte(BlockWriteChecksum(*body, kDeviceAddress)));
    body->append(Byte(kTail));
    return body;
}

} // namespace zx
