#include "fit/measurement_load.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

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

} // namespace zx
