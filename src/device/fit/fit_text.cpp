#include "fit/fit_text.h"

#include "model/value_scales.h"

#include <QStringList>

#include <cmath>

namespace zx {
namespace {

// Fits are compared in hundredths of a dB: the RMS is given to a thousandth.
constexpr int kRmsDecimals = 3;

std::optional<double> Positive(QStringView text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || !(v > 0.0)) return std::nullopt;
    return v;
}

QString Db(double v, int decimals = 2) {
    return QString::number(v, 'f', decimals) + QStringLiteral(" dB");
}

} // namespace

std::optional<std::pair<double, double>> ReadFitRange(QStringView text) {
    const qsizetype dash = text.indexOf(u'-');
    if (dash < 0) return std::nullopt;
    const auto low = Positive(text.left(dash));
    const auto high = Positive(text.mid(dash + 1));
    if (!low || !high || !(*low < *high)) return std::nullopt;
    return std::pair{*low, *high};
}

std::optional<std::array<bool, kBandsPerChannel>> ReadKeepList(QStringView text) {
    std::array<bool, kBandsPerChannel> keep{};
    for (const QStringView item : text.split(u',')) {
        bool ok = false;
        const int band = item.trimmed().toInt(&ok);
        if (!ok || band < 1 || band > kBandsPerChannel) return std::nullopt;
        keep[static_cast<std::size_t>(band - 1)] = true;
    }
    return keep;
}

QString FitReportText(const FitResult& result, const FitOptions& options) {
    const FitReport& r = result.report;
    QString out = QStringLiteral("fit over %1-%2 Hz, %3 graph columns\n")
                      .arg(options.lowHz)
                      .arg(options.highHz)
                      .arg(r.columns);
    out += QStringLiteral("  before: RMS %1, largest %2, level offset %3\n")
               .arg(Db(r.rmsBefore, kRmsDecimals), Db(r.maxBefore), Db(r.offsetBeforeDb));
    out += QStringLiteral("  after:  RMS %1, largest %2, level offset %3\n")
               .arg(Db(r.rmsAfter, kRmsDecimals), Db(r.maxAfter), Db(r.offsetDb));
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const EqBandParams& band = result.bands[static_cast<std::size_t>(b)];
        const int gain = ActiveGainIndex(band);
        QString text =
            QStringLiteral("  band %1: %2 %3 Hz %4 dB")
                .arg(b + 1)
                .arg(EqTypeText(band.type), FormatOneDecimal(FrequencyAt(band.freqIndex)),
                     FormatOneDecimal(EqGainAt(gain)));
        if (IsPeaking(band)) text += QStringLiteral(" Q ") + FormatOneDecimal(QAt(band.qIndex));
        if (options.keep[static_cast<std::size_t>(b)])
            text += QStringLiteral(" (kept)");
        else if (gain == 120)
            text += QStringLiteral(" (flat)");
        out += text + u'\n';
    }
    return out;
}

} // namespace zx
