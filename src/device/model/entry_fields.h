#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zx {

// The value tables behind the numeric entry fields: band and crossover frequencies (indexes
// 0..240), EQ gains (0..180) and Q (0..179).
enum class FieldTable { Frequency, EqGain, Q };

int FieldMaxIndex(FieldTable table);
double FieldValue(FieldTable table, int index);

// A decimal number as a field holds it: an optional minus sign, digits with at most one dot,
// at least one digit. Anything else (empty, "-", ".", "1.2.3", spaces, exponents) is nullopt.
std::optional<double> ParseFieldNumber(QStringView text);

// The nearest table entry to v after limiting v to the table's ends. The comparison is strict
// on doubles, so a value exactly between two entries goes to the lower one unless rounding
// says otherwise (1015 Hz gives 1000, 1016 Hz gives 1030).
int SnapToTable(FieldTable table, double v);
int SnapFrequency(double hz);
int SnapGain(double db);
int SnapQ(double q);

// Text to index, as a committed field does it; nullopt when the text is not a number.
std::optional<int> SnapFrequencyText(QStringView text);
std::optional<int> SnapGainText(QStringView text);
std::optional<int> SnapQText(QStringView text);

// A value as a field shows it after a commit, a spin step or a type change: one decimal.
QString FieldText(FieldTable table, int index);

// Whether a typed character reaches the field: backspace, Enter, the dot and the digits, and
// in the EQ gain fields the minus sign.
bool FieldAcceptsKey(FieldTable table, QChar c);

// What committing a field (Enter or focus lost) does with its text.
struct FieldCommit {
    enum class Kind {
        Unchanged, // the text is the previous text: nothing changes, nothing is sent
        Revert,    // not a number: the previous text goes back into the field
        Store,     // store `index` and show `text`
    };
    Kind kind = Kind::Unchanged;
    int index = 0;
    QString text;
};
FieldCommit DecideFieldCommit(FieldTable table, const QString& text, const QString& previousText);

} // namespace zx
