#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace zx {

// One curve of a file: frequencies ascending, levels in dB (SPL or dBFS alike: the fit takes
// the best level offset).
struct MeasurementCurve {
    QString name;
    std::vector<double> hz;
    std::vector<double> db;
};

// How a curve was read, so that a misread shows.
struct CurveReading {
    int column = 0;    // its level column, counted from 1
    int firstLine = 0; // its first data line, counted from 1
    int unordered = 0; // rows that were out of order and were sorted
    int merged = 0;    // rows at a frequency read before, merged as the mean of their levels
    QString fault;     // why the curve cannot be a measurement; empty when it can
};

// A measured response as text. Read are a room-measurement program's text export ("*"
// comment lines), .frd files, CSV with a header row ("frequency,raw"), one frequency column
// with several level (and phase) columns, frequency/level pairs with names over each pair
// (pairs of different lengths end in empty cells), and blocks stacked one after another, each
// with its own header lines. Every line before the data that is no data is skipped and
// counted; the last of them that names the columns is the header. A column whose header names
// a phase is no curve; without a header the second column is the only curve. Numbers may
// group thousands by a comma or a point, whichever the file's decimal mark is not, or by a
// no-break or narrow space.
struct MeasurementFile {
    QStringList curveNames; // one per curve, as the header wrote it
    std::vector<MeasurementCurve> curves;
    std::vector<CurveReading> readings; // one per curve
    QString fault;            // why nothing of the file can be used (numbers read two ways)
    int skippedLines = 0;     // lines that were neither data, header nor comment
    int firstSkippedLine = 0; // counted from 1; 0 when none was skipped

    bool HasData() const { return !curves.empty(); }
};

// Reads a whole file. A line it cannot read is skipped and counted, never turned into data;
// what cannot be a measurement is said in a curve's `fault` or the file's.
MeasurementFile ReadMeasurementText(QStringView text);

// The index of the curve `name`: a curve's header text, or its beginning ("Left" for "Left
// (94 dB)"), compared without regard to case. An empty name chooses the only curve. -1, with
// the reason in `error`, when no curve or more than one fits.
int FindCurve(const MeasurementFile& file, const QString& name, QString* error);

// The curve `name` as FindCurve finds it, unless it cannot be a measurement (its fault in
// `error`).
std::optional<MeasurementCurve> ChooseCurve(const MeasurementFile& file, const QString& name,
                                            QString* error);

// A fit needs this many points of a measurement between its limits.
inline constexpr int kFitPointsNeeded = 10;

// Why `curve` cannot be fitted between lowHz and highHz: fewer than kFitPointsNeeded points
// there. Empty when it can.
QString FitRangeFault(const MeasurementCurve& curve, double lowHz, double highHz);

} // namespace zx
