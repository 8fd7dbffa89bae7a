#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace zx {

// One cell of a measurement file's line, as written: quotes removed, spaces around it trimmed.
struct MeasurementCell {
    QString text;
    bool quoted = false;

    bool IsEmpty() const { return text.isEmpty(); }
};

// Splits a line into cells. Quotes group a cell, separators inside them included. A tab
// separates where the line has one outside quotes, else a semicolon, else a comma unless the
// line's fields are separated by spaces and every comma stands between two digits ("20,5 80,1"
// is two numbers with decimal commas, "20.5,80.1" and "20, 80" two fields each); else spaces
// do. Tabs, semicolons and commas keep empty cells, so that a cell keeps its column; trailing
// empty cells are dropped.
std::vector<MeasurementCell> SplitMeasurementLine(QStringView line);

enum class DecimalMark { Point, Comma };

// What a number's own text says of the file's decimal mark: "1,071.53" and "20.5" a point,
// "1.071,53" and "20,5" a comma; "1,071" or "1.071" either (the one mark followed by three
// digits may group thousands); nothing when it has no mark.
enum class MarkEvidence { None, Point, Comma, Either };

// Whether the cell is written as a number (digits, one sign, points and commas, an exponent;
// no-break and narrow spaces grouping thousands).
bool LooksLikeNumber(const MeasurementCell& cell);
MarkEvidence EvidenceOf(const MeasurementCell& cell);

// The cell's number, the other mark read as a thousands separator; nothing when it is none.
std::optional<double> ReadMeasurementNumber(const MeasurementCell& cell, DecimalMark mark);

// Whether a cell names a column of frequencies ("Freq", "Frequency [Hz]", "Hz", "X"), of phase
// ("Phase", "deg"), or stands for a missing value ("N/A").
bool NamesFrequency(const QString& name);
bool NamesPhase(const QString& name);
bool NamesMissingValue(const QString& text);

} // namespace zx
