#pragma once

#include "fit/measurement_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zx {

// The most of a measurement or target file that is read: a room measurement on a linear grid
// is about 1 MB; a larger file would hold the window up while it is read.
inline constexpr qint64 kMeasurementSizeLimit = qint64(64) << 20;

// A measurement or target file read as `zephranox-preset fit` reads it, with its texts for
// what cannot be used.
struct MeasurementRead {
    MeasurementFile file;
    QString error; // why the file cannot be used; empty when it holds data
    QString note;  // lines skipped, rows sorted or merged; empty when none
};

// The file's bytes as they were read (a file, or standard input for the tool).
MeasurementRead ReadMeasurementBytes(const QString& path, const QByteArray& bytes);
// A regular file of at most kMeasurementSizeLimit bytes; "-" reads standard input when
// `standardInput` is set.
MeasurementRead ReadMeasurementPath(const QString& path, bool standardInput = false);

// Text in the encoding its byte-order mark names, UTF-8 without one.
QString DecodeFileText(const QByteArray& bytes);

// The curve `name` of a read file ("" for its only one); nothing, with the reason in `error`.
std::optional<MeasurementCurve> CurveOfFile(const QString& path, const MeasurementFile& file,
                                            const QString& name, QString& error);

// What was read, in one line, so that a misread shows: the curve's name, its points, its
// frequency and level range, rows sorted and merged, and the lines skipped with the first of
// them.
QString DescribeReading(const MeasurementFile& file, const MeasurementCurve& curve);

} // namespace zx
