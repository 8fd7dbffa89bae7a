#include "model/value_scales.h"

#include <QStringList>

#include <algorithm>

namespace zx {
namespace {

template <std::size_t N> double clampedAt(const std::array<double, N>& table, int index) {
    return table[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

QString textAt(const QStringList& list, int index) {
    return index >= 0 && index < list.size() ? list[index] : QString();
}

// Fixed-point text with exactly `decimals` digits; never "-0.0".
QString fixed(double v, int decimals) {
    QString s = QString::number(v, 'f', decimals);
    if (s.startsWith(u'-') && s.count(u'0') == s.size() - 2) s.remove(0, 1);
    return s;
}

} // namespace

double FrequencyAt(int index) {
    return clampedAt(FrequencyScale, index);
}
double EqGainAt(int index) {
    return clampedAt(EqGainScale, index);
}
double ChannelGainAt(int index) {
    return clampedAt(ChannelGainScale, index);
}
double QAt(int index) {
    return clampedAt(QScale, index);
}

// The two formatted tables are built once; every screen refresh looks texts up in them.
QStringList ThresholdTexts() {
    static const QStringList list = [] {
        QStringList l;
        for (int i = 0; i < static_cast<int>(kThresholdScaleSize); ++i)
            l << fixed(-20.0 + 0.5 * i, 1) + QStringLiteral("dB");
        return l;
    }();
    return list;
}

QStringList AttackTexts() {
    static const QStringList list = [] {
        QStringList l;
        for (int i = 3; i <= 9; ++i) l << QStringLiteral("0.%1").arg(i);
        l << QStringLiteral("1.0");
        for (int i = 2; i <= 9; ++i) l << QStringLiteral("%1.0").arg(i);
        for (int i = 10; i <= 100; ++i) l << QString::number(i);
        return l;
    }();
    return list;
}

QStringList ReleaseTexts() {
    return {QStringLiteral("2X"), QStringLiteral("4X"),  QStringLiteral("6X"),
            QStringLiteral("8X"), QStringLiteral("16X"), QStringLiteral("32X")};
}

QStringList RatioTexts() {
    return {QStringLiteral("1.2:1"), QStringLiteral("1.5:1"), QStringLiteral("2:1"),
            QStringLiteral("3:1"),   QStringLiteral("4:1"),   QStringLiteral("6:1"),
            QStringLiteral("10:1"),  QStringLiteral("20:1"),  QStringLiteral("inf:1")};
}

QStringList EqTypeTexts() {
    return {QStringLiteral("PEQ"), QStringLiteral("LS 6dB"), QStringLiteral("HS 6dB")};
}

QStringList CrossoverTypeTexts() {
    return {
        QStringLiteral("12db-Bworth"), QStringLiteral("12db-LR"), QStringLiteral("12db-Bessel"),
        QStringLiteral("18db-Bworth"), QStringLiteral("18db-LR"), QStringLiteral("18db-Bessel"),
        QStringLiteral("24db-Bworth"), QStringLiteral("24db-LR"), QStringLiteral("24db-Bessel"),
        QStringLiteral("48db-Bworth"), QStringLiteral("48db-LR"), QStringLiteral("48db-Bessel")};
}

QStringList RouteSourceTexts() {
    return {QStringLiteral("OFF"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A+B")};
}

QString ThresholdText(int index) {
    return textAt(ThresholdTexts(), index);
}
QString AttackText(int index) {
    return textAt(AttackTexts(), index);
}
QString ReleaseText(int index) {
    return textAt(ReleaseTexts(), index);
}
QString RatioText(int index) {
    return textAt(RatioTexts(), index);
}
QString EqTypeText(int index) {
    return textAt(EqTypeTexts(), index);
}
QString CrossoverTypeText(int index) {
    return textAt(CrossoverTypeTexts(), index);
}
QString RouteSourceText(int index) {
    return textAt(RouteSourceTexts(), index);
}

QString FormatGainDb(double db) {
    return fixed(db, 1) + QStringLiteral(" dB");
}
QString FormatDelayMs(double ms) {
    return fixed(ms, 3) + QStringLiteral(" ms");
}
QString FormatOneDecimal(double v) {
    return fixed(v, 1);
}

double DelayMs(int delaySteps) {
    return delaySteps * kDelayStepMs;
}

} // namespace zx
