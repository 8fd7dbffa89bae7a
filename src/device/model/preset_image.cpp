#include "model/preset_image.h"

#include "model/hex_codec.h"
#include "model/value_scales.h"

#include <algorithm>

namespace zx {

namespace {

// Offsets inside a channel block.
constexpr int kMute = 0;
constexpr int kPolarity = 1;
constexpr int kGain = 2;
constexpr int kRoute = 3;
constexpr int kDelayLow = 4;
constexpr int kDelayHigh = 5;
constexpr int kBypass = 6;
constexpr int kHpfFreq = 8;
constexpr int kHpfType = 9;
constexpr int kLpfFreq = 10;
constexpr int kLpfType = 11;
constexpr int kLimiterGroup = 16; // output blocks only
constexpr int kInputBandsStart = 16;
constexpr int kOutputBandsStart = 24;

// Offsets inside a band record.
constexpr int kBandFreq = 0;
constexpr int kBandType = 1;
constexpr int kPeakLow = 2;
constexpr int kPeakHigh = 3;
constexpr int kShelfLow = 4;
constexpr int kShelfHigh = 5;
constexpr int kBandQ = 6;

constexpr int kBandRecordSize = 8;
constexpr int kImageTextEnd = kImageTextOffset + 2 * kImageSize;
constexpr char kTextStart[] = "A5A5A500520028000228";
constexpr int kMaxCrossoverType = int(kCrossoverTypeCount) - 1;
constexpr int kMaxEqType = int(kEqTypeCount) - 1;

template <typename T> T Clamped(T value, int highest) {
    return static_cast<T>(std::min<int>(value, highest));
}

std::uint8_t At(const QByteArray& image, int offset) {
    return static_cast<std::uint8_t>(image[offset]);
}

} // namespace

int ChannelBlockOffset(ChannelId ch) {
    if (!IsOutputChannel(ch)) return ch * kImageChannelInputSize;
    return kInputCount * kImageChannelInputSize + OutputIndex(ch) * kImageChannelOutputSize;
}

int BandRecordOffset(EqBandId band) {
    const ChannelId ch = ChannelOfBand(band);
    const int start = IsOutputChannel(ch) ? kOutputBandsStart : kInputBandsStart;
    return ChannelBlockOffset(ch) + start + (band % kBandsPerChannel) * kBandRecordSize;
}

QByteArray ImageBytes(const ParameterModel& m) {
    QByteArray image(kImageSize, '\0');
    auto put = [&image](int offset, unsigned value) {
        image[offset] = static_cast<char>(static_cast<std::uint8_t>(value));
    };
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        const int base = ChannelBlockOffset(ch);
        put(base + kMute, c.mute);
        put(base + kPolarity, c.polarity);
        put(base + kGain, c.gainIndex);
        put(base + kDelayLow, c.delayHalves.low);
        put(base + kDelayHigh, c.delayHalves.high);
        put(base + kBypass, c.bypass);
        put(base + kHpfFreq, c.hpfFreqIndex);
        put(base + kHpfType, c.hpfType);
        put(base + kLpfFreq, c.lpfFreqIndex);
        put(base + kLpfType, c.lpfType);
        if (IsOutputChannel(ch)) {
            const OutputParams& o = m.output(ch);
            put(base + kRoute, o.routeSource);
            put(base + kLimiterGroup + 0, o.limiterThresholdIndex);
            put(base + kLimiterGroup + 1, o.limiterAttackIndex);
            put(base + kLimiterGroup + 2, o.limiterReleaseIndex);
            put(base + kLimiterGroup + 3, o.limiterRatioIndex);
        }
    }
    for (EqBandId id = 0; id < kBandCount; ++id) {
        const EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        const int rec = BandRecordOffset(id);
        put(rec + kBandFreq, b.freqIndex);
        put(rec + kBandType, b.type);
        put(rec + kPeakLow, b.peakGainHalves.low);
        put(rec + kPeakHigh, b.peakGainHalves.high);
        put(rec + kShelfLow, b.shelfGainHalves.low);
        put(rec + kShelfHigh, b.shelfGainHalves.high);
        put(rec + kBandQ, b.qIndex);
    }
    const QByteArray name = m.imageName.left(kImageNameSize).toLatin1();
    std::copy(name.begin(), name.end(), image.begin() + kImageNameOffset);
    return image;
}

QString WriteImageText(const ParameterModel& m) {
    QByteArray image = ImageBytes(m);
    // A file carries no bypass state and no name.
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) image[ChannelBlockOffset(ch) + kBypass] = 0;
    std::fill(image.begin() + kImageReservedOffset, image.end(), '\0');

    QString text;
    text.reserve(kImageTextEnd + 4);
    text.append(QLatin1StringView(kTextStart));
    text.append(QString::fromLatin1(image.toHex().toUpper()));
    text.append(QLatin1StringView("00AA"));
    return text;
}

std::optional<QByteArray> ImagePayloadOfText(QStringView frameText) {
    if (frameText.size() < kBlockFrameTextSize) return std::nullopt;
    QByteArray image(kImageSize, '\0');
    const QChar* chars = frameText.data() + kImageTextOffset;
    for (int p = 0; p < kImageSize; ++p) {
        const int high = HexDigitValue(chars[2 * p].unicode());
        const int low = HexDigitValue(chars[2 * p + 1].unicode());
        if (high < 0 || low < 0) return std::nullopt;
        image[p] = static_cast<char>(high * 16 + low);
    }
    return image;
}

bool ReadImageText(QStringView text, ParameterModel& m) {
    const std::optional<QByteArray> parsed = ImagePayloadOfText(text);
    if (!parsed) return false;
    const QByteArray& image = *parsed;

    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        const int base = ChannelBlockOffset(ch);
        c.mute = At(image, base + kMute);
        c.polarity = At(image, base + kPolarity);
        c.gainIndex = Clamped(At(image, base + kGain), kMaxChannelGainIndex);
        c.delayHalves = {At(image, base + kDelayLow), At(image, base + kDelayHigh)};
        c.delaySteps = JoinHalves(c.delayHalves);
        c.bypass = At(image, base + kBypass);
        c.hpfFreqIndex = Clamped(At(image, base + kHpfFreq), kMaxFrequencyIndex);
        c.hpfType = Clamped(At(image, base + kHpfType), kMaxCrossoverType);
        c.lpfFreqIndex = Clamped(At(image, base + kLpfFreq), kMaxFrequencyIndex);
        c.lpfType = Clamped(At(image, base + kLpfType), kMaxCrossoverType);
        if (IsOutputChannel(ch)) {
            OutputParams& o = m.output(ch);
            o.routeSource = At(image, base + kRoute);
            o.limiterThresholdIndex = At(image, base + kLimiterGroup + 0);
            o.limiterAttackIndex = At(image, base + kLimiterGroup + 1);
            o.limiterReleaseIndex = At(image, base + kLimiterGroup + 2);
            o.limiterRatioIndex = At(image, base + kLimiterGroup + 3);
        }
    }
    for (EqBandId id = 0; id < kBandCount; ++id) {
        EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        const int rec = BandRecordOffset(id);
        b.freqIndex = Clamped(At(image, rec + kBandFreq), kMaxFrequencyIndex);
        b.type = Clamped(At(image, rec + kBandType), kMaxEqType);
        b.peakGainHalves = {At(image, rec + kPeakLow), At(image, rec + kPeakHigh)};
        b.shelfGainHalves = {At(image, rec + kShelfLow), At(image, rec + kShelfHigh)};
        b.peakGainIndex = Clamped(JoinHalves(b.peakGainHalves), kMaxEqGainIndex);
        b.shelfGainIndex = Clamped(JoinHalves(b.shelfGainHalves), kMaxEqGainIndex);
        // The halves are what frames and files send: a clamped gain must not go out as the
        // out-of-range bytes it came in as.
        RefreshHalves(b);
        b.qIndex = Clamped(At(image, rec + kBandQ), kMaxQIndex);
    }
    m.imageName = QString::fromLatin1(image.constData() + kImageNameOffset, kImageNameSize);
    return true;
}

void CopyChannelFilterBytes(const QByteArray& from, QByteArray& into, ChannelId ch) {
    const auto copy = [&](int offset, int count) {
        std::copy_n(from.begin() + offset, count, into.begin() + offset);
    };
    const int base = ChannelBlockOffset(ch);
    copy(base + kGain, 1);
    copy(base + kHpfFreq, kLpfType - kHpfFreq + 1);
    for (int b = 0; b < kBandsPerChannel; ++b) copy(BandRecordOffset(BandId(ch, b)), kBandQ + 1);
}

void CopyChannelBandBytes(const QByteArray& from, QByteArray& into, ChannelId ch) {
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const int at = BandRecordOffset(BandId(ch, b));
        std::copy_n(from.begin() + at, kBandQ + 1, into.begin() + at);
    }
}

std::uint8_t BlockWriteChecksum(const QByteArray& image, std::uint8_t address) {
    // A3 is the XOR of the rest of the header: A1 00 28 00 02 28.
    std::uint8_t sum = address ^ 0xA3;
    for (char byte : image) sum ^= static_cast<std::uint8_t>(byte);
    return sum;
}

} // namespace zx
