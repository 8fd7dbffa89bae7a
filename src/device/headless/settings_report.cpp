#include "headless/settings_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/channel_names.h"
#include "model/value_scales.h"
#include "presets/device_presets.h"

namespace zx {
namespace {

QString OnOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString Polarity(int p) {
    return p ? QStringLiteral("inverted") : QStringLiteral("normal");
}

// A list text, or the raw index where a value read from the device lies outside the list.
QString Named(const QString& text, int index) {
    return text.isEmpty() ? QStringLiteral("#%1").arg(index) : text;
}

double BandGainDb(const EqBandParams& b) {
    return EqGainAt(ActiveGainIndex(b));
}

QJsonObject Filter(int freqIndex, int type) {
    return {{QStringLiteral("freq_hz"), FrequencyAt(freqIndex)},
            {QStringLiteral("type"), Named(CrossoverTypeText(type), type)}};
}

} // namespace

QString SettingsText(const ParameterModel& m) {
    QString out;
    out += QStringLiteral("Preset: %1\n").arg(DevicePresets::ShownName(m.imageName));
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = m.channels[ch];
        out += ChannelTitle(ch) + u'\n';
        out += QStringLiteral("  gain %1, delay %2, mute %3, polarity %4\n")
                   .arg(FormatGainDb(ChannelGainAt(c.gainIndex)),
                        FormatDelayMs(DelayMs(c.delaySteps)), OnOff(c.mute), Polarity(c.polarity));
        if (IsOutputChannel(ch)) {
            const OutputParams& o = m.output(ch);
            out += QStringLiteral("  routing %1\n")
                       .arg(Named(RouteSourceText(o.routeSource), o.routeSource));
            out += QStringLiteral("  limiter threshold %1, attack %2 ms, release %3, ratio %4\n")
                       .arg(Named(ThresholdText(o.limiterThresholdIndex), o.limiterThresholdIndex),
                            Named(AttackText(o.limiterAttackIndex), o.limiterAttackIndex),
                            Named(ReleaseText(o.limiterReleaseIndex), o.limiterReleaseIndex),
                            Named(RatioText(o.limiterRatioIndex), o.limiterRatioIndex));
        }
        out += QStringLiteral("  high-pass %1 Hz %2, low-pass %3 Hz %4\n")
                   .arg(FormatOneDecimal(FrequencyAt(c.hpfFreqIndex)),
                        Named(CrossoverTypeText(c.hpfType), c.hpfType),
                        FormatOneDecimal(FrequencyAt(c.lpfFreqIndex)),
                        Named(CrossoverTypeText(c.lpfType), c.lpfType));
        for (int k = 0; k < kBandsPerChannel; ++k) {
            const EqBandParams& b = m.band(ch, k);
            out += QStringLiteral("  band %1: %2 %3 Hz, gain %4 dB, Q %5\n")
                       .arg(QString::number(k + 1), Named(EqTypeText(b.type), b.type),
                            FormatOneDecimal(FrequencyAt(b.freqIndex)),
                            FormatOneDecimal(BandGainDb(b)), FormatOneDecimal(QAt(b.qIndex)));
        }
    }
    return out;
}

QByteArray SettingsJson(const ParameterModel& m) {
    QJsonArray channels;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = m.channels[ch];
        QJsonObject o{{QStringLiteral("name"), ChannelName(ch)},
                      {QStringLiteral("gain_db"), ChannelGainAt(c.gainIndex)},
                      {QStringLiteral("delay_ms"), DelayMs(c.delaySteps)},
                      {QStringLiteral("mute"), c.mute != 0},
                      {QStringLiteral("polarity_inverted"), c.polarity != 0},
                      {QStringLiteral("high_pass"), Filter(c.hpfFreqIndex, c.hpfType)},
                      {QStringLiteral("low_pass"), Filter(c.lpfFreqIndex, c.lpfType)}};
        if (IsOutputChannel(ch)) {
            const OutputParams& out = m.output(ch);
            o.insert(QStringLiteral("routing"),
                     Named(RouteSourceText(out.routeSource), out.routeSource));
            o.insert(
                QStringLiteral("limiter"),
                QJsonObject{
                    {QStringLiteral("threshold"),
                     Named(ThresholdText(out.limiterThresholdIndex), out.limiterThresholdIndex)},
                    {QStringLiteral("attack_ms"),
                     Named(AttackText(out.limiterAttackIndex), out.limiterAttackIndex)},
                    {QStringLiteral("release"),
                     Named(ReleaseText(out.limiterReleaseIndex), out.limiterReleaseIndex)},
                    {QStringLiteral("ratio"),
                     Named(RatioText(out.limiterRatioIndex), out.limiterRatioIndex)}});
        }
        QJsonArray bands;
        for (int k = 0; k < kBandsPerChannel; ++k) {
            const EqBandParams& b = m.band(ch, k);
            bands.append(QJsonObject{{QStringLiteral("band"), k + 1},
                                     {QStringLiteral("type"), Named(EqTypeText(b.type), b.type)},
                                     {QStringLiteral("freq_hz"), FrequencyAt(b.freqIndex)},
                                     {QStringLiteral("gain_db"), BandGainDb(b)},
                                     {QStringLiteral("q"), QAt(b.qIndex)}});
        }
        o.insert(QStringLiteral("bands"), bands);
        channels.append(o);
    }
    const QJsonObject root{{QStringLiteral("preset"), DevicePresets::ShownName(m.imageName)},
                           {QStringLiteral("channels"), channels}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QStringList SettingsDifferences(const ParameterModel& expected, const ParameterModel& actual) {
    QStringList out;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams a = expected.channels[ch], b = actual.channels[ch];
        a.bypass = b.bypass = 0;
        if (a != b) out << ChannelTitle(ch) + QStringLiteral(" channel settings");
        if (IsOutputChannel(ch) && expected.output(ch) != actual.output(ch))
            out << ChannelTitle(ch) + QStringLiteral(" routing and limiter");
        for (int k = 0; k < kBandsPerChannel; ++k)
            if (expected.band(ch, k) != actual.band(ch, k))
                out << ChannelTitle(ch) + QStringLiteral(" band %1").arg(k + 1);
    }
    return out;
}

} // namespace zx
