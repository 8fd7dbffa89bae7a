#include "fit/measurement_cells.h"

#include <cmath>

namespace zx {
namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsGroupSpace(QChar c) {
    // No-break, narrow no-break and thin spaces group a number's thousands.
    return c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

bool ContainsOutsideQuotes(QStringView line, QChar wanted) {
    bool inQuotes = false;
    for (const QChar c : line) {
        if (c == u'"') inQuotes = !inQuotes;
        if (!inQuotes && c == wanted) return true;
    }
    return false;
}

// A comma between two digits, in a line of fields separated by spaces, is part of a number.
bool CommasInNumbers(QStringView line) {
    if (!ContainsOutsideQuotes(line, u' ') || line.contains(u'"')) return false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u',') continue;
        if (i == 0 || i + 1 == line.size() || !IsDigit(line[i - 1]) || !IsDigit(line[i + 1]))
            return false;
    }
    return true;
}

// The number's text without the spaces that group its thousands.
QString Compact(const MeasurementCell& cell) {
    QString s;
    s.reserve(cell.text.size());
    for (const QChar c : cell.text) {
        if (IsGroupSpace(c) || (cell.quoted && c == u' ')) continue;
        s += c;
    }
    return s;
}

// The part before an exponent.
QStringView Mantissa(QStringView s) {
    const qsizetype e = s.indexOf(u'e', 0, Qt::CaseInsensitive);
    return e < 0 ? s : s.left(e);
}

} // namespace

std::vector<MeasurementCell> SplitMeasurementLine(QStringView line) {
    QChar separator = u' ';
    if (ContainsOutsideQuotes(line, u'\t'))
        separator = u'\t';
    else if (ContainsOutsideQuotes(line, u';'))
        separator = u';';
    else if (ContainsOutsideQuotes(line, u',') && !CommasInNumbers(line))
        separator = u',';
    const bool keepEmpty = separator != u' ';
    std::vector<MeasurementCell> out;
    MeasurementCell current;
    bool inQuotes = false;
    const auto flush = [&] {
        current.text = current.text.trimmed();
        if (keepEmpty || !current.text.isEmpty() || current.quoted) out.push_back(current);
        current = {};
    };
    for (const QChar c : line) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            current.quoted = true;
        } else if (!inQuotes && (c == separator || (separator == u' ' && c.isSpace()))) {
            flush();
        } else {
            current.text += c;
        }
    }
    flush();
    while (!out.empty() && out.back().IsEmpty()) out.pop_back();
    return out;
}

bool LooksLikeNumber(const MeasurementCell& cell) {
    const QString s = Compact(cell);
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) ++i;
    bool digits = false;
    while (i < s.size() && (IsDigit(s[i]) || s[i] == u'.' || s[i] == u',')) {
        digits = digits || IsDigit(s[i]);
        ++i;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) ++i;
        const qsizetype first = i;
        while (i < s.size() && IsDigit(s[i])) ++i;
        if (i == first) return false;
    }
    return i == s.size();
}

MarkEvidence EvidenceOf(const MeasurementCell& cell) {
    const QString compact = Compact(cell);
    const QStringView s = Mantissa(compact);
    const qsizetype points = s.count(u'.');
    const qsizetype commas = s.count(u',');
    if (points > 0 && commas > 0)
        return s.lastIndexOf(u'.') > s.lastIndexOf(u',') ? MarkEvidence::Point
                                                         : MarkEvidence::Comma;
    if (points > 1) return MarkEvidence::Comma;
    if (commas > 1) return MarkEvidence::Point;
    if (points + commas == 0) return MarkEvidence::None;
    const QChar mark = points ? QChar(u'.') : QChar(u',');
    const qsizetype at = s.indexOf(mark);
    const QStringView before = s.left(at);
    const qsizetype leading =
        before.size() - ((before.startsWith(u'-') || before.startsWith(u'+')) ? 1 : 0);
    const QStringView intDigits = before.right(leading);
    // "1,071" may group thousands; "0,071", "20,5", "1,0715" and an exponent may not.
    const bool mayGroup = s.size() - at - 1 == 3 && leading >= 1 && leading <= 3 &&
                          !intDigits.startsWith(u'0') && compact.size() == s.size();
    if (mayGroup) return MarkEvidence::Either;
    return points ? MarkEvidence::Point : MarkEvidence::Comma;
}

std::optional<double> ReadMeasurementNumber(const MeasurementCell& cell, DecimalMark mark) {
    if (!LooksLikeNumber(cell)) return std::nullopt;
    QString s = Compact(cell);
    if (mark == DecimalMark::Point) {
        s.remove(u',');
    } else {
        s.remove(u'.');
        s.replace(u',', u'.');
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool NamesFrequency(const QString& name) {
    const QString n = name.trimmed().toLower();
    return n == u"x" || n == u"f" || n.startsWith(u"hz") || n.startsWith(u"freq") ||
           n.startsWith(u"fréq") || n.startsWith(u"frec") || n.startsWith(u"frek");
}

bool NamesPhase(const QString& name) {
    const QString n = name.trimmed().toLower();
    return n.contains(u"phase") || n == u"deg" || n == u"degrees" || n == u"°" ||
           n.contains(u"(deg") || n.contains(u"[deg") || n.contains(u"(°") || n.contains(u"[°");
}

bool NamesMissingValue(const QString& text) {
    const QString n = text.trimmed().toLower();
    return n == u"n/a" || n == u"na" || n == u"nan" || n == u"-" || n == u"--" || n == u"null" ||
           n == u"none" || n == u"inf" || n == u"-inf" || n == u"+inf";
}

} // namespace zx
