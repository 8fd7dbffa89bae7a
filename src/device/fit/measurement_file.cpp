#include "fit/measurement_file.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace zx {
namespace {

struct Field {
    QString text;
    bool quoted = false;
};

bool IsGroupSpace(QChar c) {
    // A no-break or narrow no-break space inside a number groups its thousands.
    return c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

// Splits a line into fields. Tabs and semicolons separate where the line has them, and a
// comma is then a decimal comma; otherwise commas separate unless the fields are separated by
// spaces and every comma stands between two digits ("20,5 80,1" is two numbers with decimal
// commas, "20.5,80.1" and "20, 80" two fields each).
std::vector<Field> SplitLine(QStringView line, bool& decimalComma) {
    const bool strongSeparators = line.contains(u'\t') || line.contains(u';');
    bool commaSeparates = false;
    if (!strongSeparators) {
        // A comma between two digits, in a line of fields separated by spaces, is a decimal
        // comma; any other comma separates fields.
        const QStringList words = line.toString().split(QChar(u' '), Qt::SkipEmptyParts);
        bool onlyBetweenDigits = true;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] != u',') continue;
            const bool digits =
                i > 0 && i + 1 < line.size() && line[i - 1].isDigit() && line[i + 1].isDigit();
            onlyBetweenDigits = onlyBetweenDigits && digits;
        }
        commaSeparates = words.size() < 2 || !onlyBetweenDigits || line.contains(u'"');
    }
    decimalComma = !commaSeparates;
    std::vector<Field> out;
    Field current;
    bool inQuotes = false;
    bool any = false;
    const auto flush = [&] {
        current.text = current.text.trimmed();
        if (any && (!current.text.isEmpty() || current.quoted)) out.push_back(current);
        current = {};
        any = false;
    };
    for (const QChar c : line) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            current.quoted = true;
            any = true;
            continue;
        }
        if (!inQuotes) {
            // Where commas separate, spaces belong to the field ("Left (94 dB)").
            const bool separator =
                commaSeparates ? c == u',' : c == u'\t' || c == u';' || c == u' ';
            if (separator) {
                flush();
                continue;
            }
        }
        current.text += c;
        any = true;
    }
    flush();
    return out;
}

// A number as measurement files write it: an optional sign, digits with thousands separators
// (a dot where the decimal mark is a comma, a comma where it is a point, or a no-break or
// narrow space), scientific notation, "inf" and "nan" refused.
std::optional<double> ReadNumber(const Field& f, bool decimalComma) {
    QString s;
    for (const QChar c : f.text) {
        if (IsGroupSpace(c) || (f.quoted && c == u' ')) continue;
        s += c;
    }
    if (s.isEmpty()) return std::nullopt;
    if (decimalComma) {
        if (s.count(u',') > 1) return std::nullopt;
        if (s.contains(u',')) s.remove(u'.');
        s.replace(u',', u'.');
    } else {
        s.remove(u',');
    }
    for (const QChar c : s) {
        const bool allowed =
            c.isDigit() || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E';
        if (!allowed) return std::nullopt;
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool IsComment(QStringView line) {
    return line.startsWith(u'*') || line.startsWith(u'#') || line.startsWith(u"//") ||
           line.startsWith(u'!');
}

bool NamesPhase(const QString& name) {
    const QString n = name.toLower();
    return n.contains(QLatin1String("phase")) || n.contains(QLatin1String("deg")) ||
           n.contains(u'°');
}

struct Layout {
    QStringList names;        // the curve names
    std::vector<int> columns; // the level column of each curve
    int fieldCount = 0;       // fields a header promised
};

} // namespace

MeasurementFile ReadMeasurementText(QStringView text) {
    MeasurementFile file;
    std::optional<Layout> layout;
    struct Point {
        double hz;
        std::vector<double> levels;
    };
    std::vector<Point> points;
    int lineNumber = 0;
    const auto skip = [&] {
        ++file.skippedLines;
        if (file.firstSkippedLine == 0) file.firstSkippedLine = lineNumber;
    };
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
        const QStringView line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') ++start;
        ++lineNumber;
        if (line.isEmpty() || IsComment(line)) continue;
        bool decimalComma = false;
        const std::vector<Field> fields = SplitLine(line, decimalComma);
        std::vector<std::optional<double>> numbers;
        numbers.reserve(fields.size());
        for (const Field& f : fields) numbers.push_back(ReadNumber(f, decimalComma));
        const bool allNumbers = std::all_of(numbers.begin(), numbers.end(),
                                            [](const auto& n) { return n.has_value(); });
        if (!allNumbers || fields.size() < 2) {
            // The first line of text before any data, with a name per column, is the header.
            if (!layout && points.empty() && fields.size() >= 2 && !numbers[0]) {
                Layout l;
                l.fieldCount = static_cast<int>(fields.size());
                for (int k = 1; k < l.fieldCount; ++k) {
                    const QString name = fields[static_cast<std::size_t>(k)].text.trimmed();
                    if (NamesPhase(name)) continue;
                    l.names << name;
                    l.columns.push_back(k);
                }
                if (!l.columns.empty()) {
                    layout = l;
                    continue;
                }
            }
            skip();
            continue;
        }
        if (!layout) {
            // No header: the second column is the level, a third (if any) its phase.
            Layout l;
            l.names << QString();
            l.columns.push_back(1);
            layout = l;
        }
        const int needed = *std::max_element(layout->columns.begin(), layout->columns.end()) + 1;
        const double hz = *numbers[0];
        if (static_cast<int>(numbers.size()) < needed || hz < 0.0) {
            skip();
            continue;
        }
        Point p{hz, {}};
        for (int column : layout->columns)
            p.levels.push_back(*numbers[static_cast<std::size_t>(column)]);
        points.push_back(std::move(p));
    }
    if (!layout || points.empty()) {
        if (layout) file.curveNames = layout->names;
        return file;
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.hz < b.hz; });
    file.curveNames = layout->names;
    file.levels.assign(layout->columns.size(), {});
    for (const Point& p : points) {
        file.hz.push_back(p.hz);
        for (std::size_t c = 0; c < p.levels.size(); ++c) file.levels[c].push_back(p.levels[c]);
    }
    return file;
}

std::optional<MeasurementCurve> ChooseCurve(const MeasurementFile& file, const QString& name,
                                            QString* error) {
    const auto fail = [&](const QString& why) -> std::optional<MeasurementCurve> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!file.HasData()) return fail(QStringLiteral("no measurement data"));
    const auto curveAt = [&](int k) {
        return MeasurementCurve{file.curveNames.value(k), file.hz,
                                file.levels[static_cast<std::size_t>(k)]};
    };
    const QString names =
        QStringLiteral("\"%1\"").arg(file.curveNames.join(QStringLiteral("\", \"")));
    const int count = static_cast<int>(file.levels.size());
    if (name.isEmpty()) {
        if (count == 1) return curveAt(0);
        return fail(QStringLiteral("%1 curves, choose one with --curve: %2").arg(count).arg(names));
    }
    const QString wanted = name.trimmed();
    std::vector<int> prefixed;
    for (int k = 0; k < count; ++k) {
        const QString own = file.curveNames.value(k).trimmed();
        if (own.compare(wanted, Qt::CaseInsensitive) == 0) return curveAt(k);
        if (own.startsWith(wanted, Qt::CaseInsensitive)) prefixed.push_back(k);
    }
    if (prefixed.size() == 1) return curveAt(prefixed[0]);
    if (prefixed.empty())
        return fail(QStringLiteral("no curve \"%1\"; the file has %2").arg(wanted, names));
    return fail(
        QStringLiteral("\"%1\" begins more than one curve; the file has %2").arg(wanted, names));
}

} // namespace zx
