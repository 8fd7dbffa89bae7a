#include "presets/filter_export.h"

#include "model/channel_names.h"
#include "model/value_scales.h"
#include "presets/filter_import.h"

namespace zx {
namespace {

QString Hz(int index) {
    return QString::number(FrequencyAt(index), 'g', 10);
}
QString OneDecimal(double v) {
    return QString::number(v, 'f', 1);
}

QString CrossoverLine(bool high, int index, int type, int& filterNumber) {
    const int offIndex = high ? 0 : kMaxFrequencyIndex;
    const QString kind = high ? QStringLiteral("HP") : QStringLiteral("LP");
    const QString typeText = CrossoverTypeText(type);
    if (index == offIndex) {
        // An off filter keeps its type on the device; only a type other than the first needs
        // saying.
        if (type == 0) return {};
        return QStringLiteral("# Crossover: %1 %2 off\n").arg(kind, typeText);
    }
    const auto t = static_cast<CrossoverType>(type);
    if (t == CrossoverType::Butterworth12) {
        return QStringLiteral("Filter %1: ON %2 Fc %3 Hz\n")
            .arg(filterNumber++)
            .arg(kind, Hz(index));
    }
    if (t == CrossoverType::LinkwitzRiley12 || t == CrossoverType::Bessel12) {
        return QStringLiteral("Filter %1: ON %2Q Fc %3 Hz Q %4\n")
            .arg(filterNumber++)
            .arg(kind, Hz(index), QString::number(SecondOrderTypeQ(type), 'f', 3));
    }
    return QStringLiteral("# Crossover: %1 %2 Fc %3 Hz\n").arg(kind, typeText, Hz(index));
}

} // namespace

QString ExportFilterList(const ParameterModel& model, const std::vector<ChannelId>& channels) {
    QString out;
    for (ChannelId ch : channels) {
        const ChannelParams& c = model.channels[static_cast<std::size_t>(ch)];
        out += QStringLiteral("Channel: %1\n").arg(ChannelName(ch));
        out += QStringLiteral("Preamp: %1 dB\n").arg(OneDecimal(ChannelGainAt(c.gainIndex)));
        int n = 1;
        for (int b = 0; b < kBandsPerChannel; ++b) {
            const EqBandParams& band = model.band(ch, b);
            // A flat band is written too, so that every band comes back to its own slot and a
            // parked band keeps its type, frequency and Q.
            const int gain = ActiveGainIndex(band);
            const auto type = static_cast<EqType>(std::min<int>(band.type, 2));
            QString line = QStringLiteral("Filter %1: ON %2 Fc %3 Hz Gain %4 dB")
                               .arg(n++)
                               .arg(type == EqType::Peq        ? QStringLiteral("PK")
                                    : type == EqType::LowShelf ? QStringLiteral("LS 6dB")
                                                               : QStringLiteral("HS 6dB"),
                                    Hz(band.freqIndex), OneDecimal(EqGainAt(gain)));
            if (IsPeaking(band)) line += QStringLiteral(" Q %1").arg(OneDecimal(QAt(band.qIndex)));
            out += line + QStringLiteral("\n");
        }
        out += CrossoverLine(true, c.hpfFreqIndex, c.hpfType, n);
        out += CrossoverLine(false, c.lpfFreqIndex, c.lpfType, n);
        out += QStringLiteral("\n");
    }
    return out;
}

} // namespace zx
