#include "fit/measurement_load.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>

namespace zx {

QString DecodeFileText(const QByteArray& bytes) {
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);
    return decode(bytes);
}

MeasurementRead ReadMeasurementPath(const QString& path) {
    MeasurementRead read;
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        read.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return read;
    }
    return ReadMeasurementBytes(path, bytes);
}

MeasurementRead ReadMeasurementBytes(const QString& path, const QByteArray& bytes) {
    MeasurementRead read;
    read.file = ReadMeasurementText(DecodeFileText(bytes));
    if (!read.file.HasData()) {
        read.error = QStringLiteral("%1 holds no frequency and level data").arg(path);
        return read;
    }
    if (read.file.skippedLines > 0) {
        read.note = QStringLiteral("%1: %2 line(s) that are no data were skipped, the first is "
                                   "line %3")
                        .arg(path)
                        .arg(read.file.skippedLines)
                        .arg(read.file.firstSkippedLine);
    }
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
    if (file.skippedLines > 0) {
        text += QStringLiteral(", %1 line(s) skipped from line %2")
                    .arg(file.skippedLines)
                    .arg(file.firstSkippedLine);
    }
    return text;
}

} // namespace zx
