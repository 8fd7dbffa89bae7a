#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>

namespace zx {

inline constexpr std::size_t kFrequencyScaleSize = 244;
inline constexpr std::size_t kEqGainScaleSize = 181;
inline constexpr std::size_t kChannelGainScaleSize = 241;
inline constexpr std::size_t kQScaleSize = 180;
inline constexpr std::size_t kThresholdScaleSize = 61;
inline constexpr std::size_t kAttackScaleSize = 107;
inline constexpr std::size_t kReleaseScaleSize = 6;
inline constexpr std::size_t kRatioScaleSize = 9;
inline constexpr std::size_t kEqTypeCount = 3;
inline constexpr std::size_t kCrossoverTypeCount = 12;
inline constexpr std::size_t kRouteSourceCount = 4;

// Model indexes never go past these: 241..243 exist in the frequency table only.
inline constexpr int kMaxFrequencyIndex = 240;
inline constexpr int kMaxEqGainIndex = 180;
inline constexpr int kMaxChannelGainIndex = 240;
inline constexpr int kMaxQIndex = 179;
inline constexpr int kMaxDelaySteps = 960;
inline constexpr double kDelayStepMs = 0.021;

// Hz, dB, dB and Q; each entry is the double nearest the device's decimal value.
extern const std::array<double, kFrequencyScaleSize> FrequencyScale;
extern const std::array<double, kEqGainScaleSize> EqGainScale;
extern const std::array<double, kChannelGainScaleSize> ChannelGainScale;
extern const std::array<double, kQScaleSize> QScale;

enum class EqType : unsigned char { Peq = 0, LowShelf = 1, HighShelf = 2 };

enum class CrossoverType : unsigned char {
    Butterworth12 = 0,
    LinkwitzRiley12,
    Bessel12,
    Butterworth18,
    LinkwitzRiley18,
    Bessel18,
    Butterworth24,
    LinkwitzRiley24,
    Bessel24,
    Butterworth48,
    LinkwitzRiley48,
    Bessel48,
};

enum class RouteSource : unsigned char { Off = 0, A = 1, B = 2, AB = 3 };

// Table lookups by any index. Values read from a device or a file may lie outside a
// table: numeric lookups then clamp to the nearest entry, text lookups give an empty text
// (a list showing no selection).
double FrequencyAt(int index);
double EqGainAt(int index);
double ChannelGainAt(int index);
double QAt(int index);

QString ThresholdText(int index);
QString AttackText(int index);
QString ReleaseText(int index);
QString RatioText(int index);
QString EqTypeText(int index);
QString CrossoverTypeText(int index);
QString RouteSourceText(int index);

// The texts of a whole list, in item order, for filling list controls.
QStringList ThresholdTexts();
QStringList AttackTexts();
QStringList ReleaseTexts();
QStringList RatioTexts();
QStringList EqTypeTexts();
QStringList CrossoverTypeTexts();
QStringList RouteSourceTexts();

// Fixed display masks, rounded to the nearest last digit, always with a dot.
QString FormatGainDb(double db);    // "0.0 dB"
QString FormatDelayMs(double ms);   // "0.000 ms"
QString FormatOneDecimal(double v); // "0.0": frequencies, EQ gains, Q

double DelayMs(int delaySteps);

} // namespace zx
