#pragma once

#include "model/value_scales.h"

#include <QString>

#include <array>
#include <cstdint>

namespace zx {

// 0 In left (input A), 1 In right (input B), 2 Out left, 3 Out right, 4 Out sub, 5 Out 4
// (carried by every frame and image, hidden on screen).
using ChannelId = int;
// channel × 8 + band, band 0..7 (shown as bands 1..8).
using EqBandId = int;

inline constexpr int kChannelCount = 6;
inline constexpr int kInputCount = 2;
inline constexpr int kOutputCount = 4;
inline constexpr int kBandsPerChannel = 8;
inline constexpr int kBandCount = kChannelCount * kBandsPerChannel;

constexpr bool IsOutputChannel(ChannelId ch) {
    return ch >= kInputCount && ch < kChannelCount;
}
constexpr int OutputIndex(ChannelId ch) {
    return ch - kInputCount;
}
constexpr EqBandId BandId(ChannelId ch, int band) {
    return ch * kBandsPerChannel + band;
}
constexpr ChannelId ChannelOfBand(EqBandId id) {
    return id / kBandsPerChannel;
}

// The two bytes a 16-bit field travels as, low byte first on the wire.
struct ByteHalves {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    friend bool operator==(const ByteHalves&, const ByteHalves&) = default;
};

constexpr ByteHalves SplitHalves(std::uint16_t v) {
    return {static_cast<std::uint8_t>(v % 256), static_cast<std::uint8_t>(v / 256)};
}
constexpr std::uint16_t JoinHalves(ByteHalves h) {
    return static_cast<std::uint16_t>(h.high * 256 + h.low);
}

// The table indexes of 0.0 dB (a band's gains, a channel's gain), and a band's Q by default.
inline constexpr std::uint8_t kZeroEqGainIndex = 120;
inline constexpr std::uint8_t kZeroChannelGainIndex = 120;
inline constexpr std::uint8_t kDefaultQIndex = 4;

// A band's and a crossover filter's type as the model and the wire hold it.
constexpr std::uint8_t TypeByte(EqType t) {
    return static_cast<std::uint8_t>(t);
}
constexpr std::uint8_t TypeByte(CrossoverType t) {
    return static_cast<std::uint8_t>(t);
}

struct ChannelParams {
    std::uint8_t mute = 0;
    std::uint8_t polarity = 0;
    std::uint8_t gainIndex = kZeroChannelGainIndex;
    std::uint16_t delaySteps = 0;
    ByteHalves delayHalves;
    std::uint8_t bypass = 0;
    std::uint8_t hpfFreqIndex = 0;
    std::uint8_t hpfType = TypeByte(CrossoverType::Butterworth12);
    std::uint8_t lpfFreqIndex = kMaxFrequencyIndex;
    std::uint8_t lpfType = TypeByte(CrossoverType::Butterworth12);
    friend bool operator==(const ChannelParams&, const ChannelParams&) = default;
};

struct OutputParams {
    std::uint8_t routeSource = 0;
    std::uint8_t limiterThresholdIndex = 0;
    std::uint8_t limiterAttackIndex = 0;
    std::uint8_t limiterReleaseIndex = 0;
    std::uint8_t limiterRatioIndex = 0;
    friend bool operator==(const OutputParams&, const OutputParams&) = default;
};

struct EqBandParams {
    std::uint8_t freqIndex = 0;
    std::uint8_t type = TypeByte(EqType::Peq);
    std::uint16_t peakGainIndex = kZeroEqGainIndex;
    ByteHalves peakGainHalves = SplitHalves(kZeroEqGainIndex);
    std::uint16_t shelfGainIndex = kZeroEqGainIndex;
    ByteHalves shelfGainHalves = SplitHalves(kZeroEqGainIndex);
    std::uint8_t qIndex = kDefaultQIndex;
    friend bool operator==(const EqBandParams&, const EqBandParams&) = default;
};

// Default frequency index of bands 1..8 of every channel: 19.7, 51.1, 102, 198, 500, 1000,
// 2000 and 2997 Hz.
inline constexpr std::array<std::uint8_t, kBandsPerChannel> kDefaultBandFreqIndex = {
    0, 33, 57, 80, 112, 136, 160, 174};

// The program's copy of the amplifier's settings: table indexes, step counts and flags,
// exactly as they travel on the wire.
struct ParameterModel {
    std::array<ChannelParams, kChannelCount> channels;
    std::array<OutputParams, kOutputCount> outputs;
    std::array<EqBandParams, kBandCount> bands;
    QString imageName;

    ParameterModel() { ResetToDefaults(); }
    void ResetToDefaults();

    OutputParams& output(ChannelId ch) { return outputs[OutputIndex(ch)]; }
    const OutputParams& output(ChannelId ch) const { return outputs[OutputIndex(ch)]; }
    EqBandParams& band(ChannelId ch, int band) { return bands[BandId(ch, band)]; }
    const EqBandParams& band(ChannelId ch, int band) const { return bands[BandId(ch, band)]; }

    friend bool operator==(const ParameterModel&, const ParameterModel&) = default;
};

EqBandParams DefaultBand(int bandInChannel);

// A peaking band (PEQ) has the peak gain and a Q; the shelves (LS, HS) have the shelf gain and
// no Q. The first form takes a band type as stored or as a list shows it.
constexpr bool IsPeaking(int eqType) {
    return eqType == TypeByte(EqType::Peq);
}
constexpr bool IsPeaking(const EqBandParams& band) {
    return IsPeaking(band.type);
}

// The gain a band's type uses: the peak gain for PEQ, the shelf gain for LS and HS.
std::uint16_t ActiveGainIndex(const EqBandParams& band);
// Writes only the active gain index, leaving the other kind's gain as it was.
void SetActiveGainIndex(EqBandParams& band, std::uint16_t index);

// Refresh the byte halves from the 16-bit values, as every edit of those fields does.
void RefreshHalves(ChannelParams& ch);
void RefreshHalves(EqBandParams& band);

} // namespace zx
