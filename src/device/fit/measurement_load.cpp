#include "fit/measurement_load.h"

#include "platform/file_io.h"

#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>

namespace zx {

QString DecodeFileText(const QByteArray& bytes) {
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);
    return decode(bytes);
}

MeasurementRead ReadMeasurementPath(const QString& path, bool standardInput) {
    QString why;
    const auto bytes = ReadInputFile(path, kMeasurementSizeLimit, &why, standardInput);
    if (!bytes) {
        MeasurementRead read;
        read.error = QStringLiteral("cannot read %1: %2").arg(path, why);
        return read;
    }
    return ReadMeasurementBytes(path, *bytes);
}

MeasurementRead ReadMeasurementBytes(const QString& path, const QByteArray& bytes) {
    MeasurementRead read;
    read.file = ReadMeasurementText(DecodeFileText(bytes));
    if (!read.file.fault.isEmpty()) {
        read.error = QStringLiteral("%1: %2").arg(path, read.file.fault);
        return read;
    }
    if (!read.file.HasData()) {
        read.error = QStringLiteral("%1 holds no frequency and level data").arg(path);
        return read;
    }
    QStringList notes;
    if (read.file.skippedLines > 0) {
        notes << QStringLiteral("%1 line(s) that are no data were skipped, the first is line %2")
                     .arg(read.file.skippedLines)
                     .arg(read.file.firstSkippedLine);
    }
    int unordered = 0;
    int merged = 0;
    for (const CurveReading& r : read.file.readings) {
        unordered += r.unordered;
        merged += r.merged;
    }
    if (unordered > 0) notes << QStringLiteral("%1 row(s) out of order were sorted").arg(unordered);
    if (merged > 0) {
        notes << QStringLiteral("%1 row(s) at a frequency read before were merged (the mean of "
                                "their levels in dB)")
                     .arg(merged);
    }
    if (!notes.isEmpty())
        read.note = path + QStringLiteral(": ") + notes.join(QStringLiteral("; "));
    return read;
}

std::optional<MeasurementCurve> CurveOfFile(const QString& path, const MeasurementFile& file,
                                            const QString& name, QString& error) {
    QString why;
    auto curve = ChooseCurve(file, name, &why);
    if (!curve) error = QStringLiteral("%1: %2").arg(path, why);
    return curve;
}

QString DescribeReading(const MeasurementFile& file, const MeasurementCurve& curve) {
    QString text =
        curve.name.isEmpty() ? QStringLiteral("curve") : QStringLiteral("\"%1\"").arg(curve.name);
    text += QStringLiteral(": %1 points").arg(curve.hz.size());
    if (!curve.hz.empty()) {
        const auto [low, high] = std::minmax_element(curve.db.begin(), curve.db.end());
        text += QStringLiteral(", %1 Hz to %2 Hz, %3 dB to %4 dB")
                    .arg(curve.hz.front(), 0, 'g', 4)
                    .arg(curve.hz.back(), 0, 'g', 5)
                    .arg(*low, 0, 'f', 1)
                    .arg(*high, 0, 'f', 1);
    }
    // The curve's own reading, found by its name (names are unique).
    const auto k = file.curveNames.indexOf(curve.name);
    if (k >= 0 && std::size_t(k) < file.readings.size()) {
        const CurveReading& r = file.readings[std::size_t(k)];
        if (file.curves.size() > 1) text += QStringLiteral(", column %1").arg(r.column);
        if (r.unordered > 0) text += QStringLiteral(", %1 row(s) sorted").arg(r.unordered);
        if (r.merged > 0) text += QStringLiteral(", %1 duplicate row(s) merged").arg(r.merged);
    }
    if (file.skippedLines > 0) {
        text += QStringLiteral(", %1 line(s) skipped from line %2")
                    .arg(file.skippedLines)
                    .arg(file.firstSkippedLine);
    }
    return text;
}

} // namespace zx
