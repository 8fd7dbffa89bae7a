#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace zx {

// A measured response as text: frequency and level per line, optionally phase. Read are
// a room-measurement program's text export ("*" comment lines), .frd files, CSV with a
// header row ("frequency,raw"), loudspeaker data sets with several quoted curve names and
// thousands separators, left/right pairs. Fields are separated by spaces, tabs, commas or
// semicolons; a decimal comma reads as a point (in a line separated by tabs or semicolons,
// or by spaces alone); scientific notation is read. A column whose header names a phase
// ("Phase", "deg") is no curve; without a header the second column is the only curve.
struct MeasurementFile {
    QStringList curveNames;                  // one per level column, as the header wrote it
    std::vector<double> hz;                  // ascending
    std::vector<std::vector<double>> levels; // levels[curve][point], dB
    int skippedLines = 0;                    // lines that were neither data, header nor comment
    int firstSkippedLine = 0;                // counted from 1; 0 when none was skipped

    bool HasData() const { return !hz.empty() && !levels.empty(); }
};

// One curve of a file: frequencies ascending, levels in dB (SPL or dBFS alike: the fit takes
// the best level offset).
struct MeasurementCurve {
    QString name;
    std::vector<double> hz;
    std::vector<double> db;
};

// Reads a whole file. Never fails: a line it cannot read is skipped and counted, never turned
// into data. A file with no data line has no curve.
MeasurementFile ReadMeasurementText(QStringView text);

// The curve named `name`: a curve's header text, or its beginning ("Left" for "Left (94 dB)"),
// compared without regard to case. An empty name chooses the only curve. Nothing, with the
// reason in `error`, when no curve or more than one fits.
std::optional<MeasurementCurve> ChooseCurve(const MeasurementFile& file, const QString& name,
                                            QString* error);

} // namespace zx
