#pragma once

#include "fit/measurement_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zx {

// A measurement or target file read as `zephranox-preset fit` reads it, with its texts for
// what cannot be used.
struct MeasurementRead {
    MeasurementFile file;
    QString error; // why the file cannot be used; empty when it holds data
    QString note;  // lines that were no data and were skipped; empty when none
};

// The file's bytes as they were read (a file, or standard input for the tool).
MeasurementRead ReadMeasurementBytes(const QString& path, const QByteArray& bytes);
MeasurementRead ReadMeasurementPath(const QString& path);

// Text in the encoding its byte-order mark names, UTF-8 without one.
QString DecodeFileText(const QByteArray& bytes);

// The curve `name` of a read file ("" for its only one); nothing, with the reason in `error`.
std::optional<MeasurementCurve> CurveOfFile(const QString& path, const MeasurementFile& file,
                                            const QString& name, QString& error);

// What was read, in one line, so that a misread shows: the curve's name, its points, its
// frequency and level range, and the lines skipped with the first of them.
QString DescribeReading(const MeasurementFile& file, const MeasurementCurve& curve);

} // namespace zx
