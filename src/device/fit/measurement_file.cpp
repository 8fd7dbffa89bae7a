#include "fit/measurement_file.h"

#include "fit/measurement_cells.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <ranges>

namespace zx {
namespace {

constexpr double kHighestHz = 1e6;      // no measurement reaches a megahertz
constexpr double kLevelLimitDb = 200.0; // nor a level 200 dB from 0 dB
constexpr std::size_t kHeaderLinesKept = 32;

using Cells = std::vector<MeasurementCell>;

enum class LineKind { Blank, Comment, Data, Text };

bool IsComment(QStringView trimmed) {
    return trimmed.startsWith(u'*') || trimmed.startsWith(u'#') || trimmed.startsWith(u"//") ||
           trimmed.startsWith(u'!');
}

int NonEmpty(const Cells& cells) {
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](const auto& c) { return !c.IsEmpty(); }));
}

// A data line holds two numbers or more and nothing else.
LineKind Classify(QStringView raw, Cells& cells) {
    const QStringView trimmed = raw.trimmed();
    if (trimmed.isEmpty()) return LineKind::Blank;
    if (IsComment(trimmed)) {
        const qsizetype body = trimmed.startsWith(u"//") ? 2 : 1;
        cells = SplitMeasurementLine(trimmed.mid(body));
        return LineKind::Comment;
    }
    cells = SplitMeasurementLine(raw);
    if (NonEmpty(cells) == 0) return LineKind::Blank;
    const bool numbers = std::all_of(cells.begin(), cells.end(), [](const auto& c) {
        return c.IsEmpty() || LooksLikeNumber(c);
    });
    return numbers && NonEmpty(cells) >= 2 ? LineKind::Data : LineKind::Text;
}

const MeasurementCell* FirstFilled(const Cells& cells) {
    for (const auto& c : cells) {
        if (!c.IsEmpty()) return &c;
    }
    return nullptr;
}

QString CellText(const Cells& cells, int k) {
    return k >= 0 && k < static_cast<int>(cells.size()) ? cells[std::size_t(k)].text : QString();
}

// A cell that names no curve: an axis, a unit or a channel number ("X", "Hz", "dBSPL", "Ch1").
bool IsGenericName(const QString& text) {
    static const QRegularExpression generic(
        QStringLiteral("^(x|y|db|dbspl|db spl|dbfs|dbr|dbv|spl|level|magnitude|ch ?\\d+)$"),
        QRegularExpression::CaseInsensitiveOption);
    return NamesFrequency(text) || generic.match(text.trimmed()).hasMatch();
}

struct Point {
    double hz;
    double db;
    int line;
};

struct Accumulator {
    std::vector<Point> points;
    CurveReading reading;
    QString headerName; // the column header's cell
    QString upperName;  // the nearest name above it, over the column or its frequency
    int block = 0;
    double highest = 0.0;
    bool rose = false;
};

struct Group {
    int frequencyColumn = 0;
    std::vector<int> levelColumns;
    std::vector<std::size_t> curves; // accumulator per level column
};

struct HeaderLine {
    int line;
    Cells cells;
};

struct Block {
    std::vector<HeaderLine> lines; // text lines before the data
    std::optional<Cells> columnHeader;
    int columnHeaderLine = 0; // 0: a comment
    std::vector<Group> groups;
    bool hasData = false;
    bool stripLeading = false; // one frequency column: a row's leading empty cells mean nothing
    QString key;               // its header lines, to tell a repeated header
};

// Calls `take` with each line of `text`, whatever its line ends (LF, CRLF or CR).
template <typename Take> void ForEachLine(QStringView text, Take take) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
        const QStringView line = text.mid(start, end - start);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') ++start;
        take(line);
    }
}

class Reader {
  public:
    explicit Reader(DecimalMark mark) : mark_(mark) {}

    MeasurementFile Read(QStringView text) {
        ForEachLine(text, [this](QStringView line) {
            ++lineNumber_;
            Take(line);
        });
        FinishBlock();
        return Finish();
    }

  private:
    void Skip(int line) {
        ++file_.skippedLines;
        if (file_.firstSkippedLine == 0 || line < file_.firstSkippedLine)
            file_.firstSkippedLine = line;
    }

    void Take(QStringView raw) {
        Cells cells;
        switch (Classify(raw, cells)) {
        case LineKind::Blank:
            return;
        case LineKind::Comment: {
            // A comment that names the columns ("* Freq(Hz) SPL(dB) Phase(degrees)") heads them.
            const MeasurementCell* first = FirstFilled(cells);
            if (!block_.hasData && first && NonEmpty(cells) >= 2 && NamesFrequency(first->text)) {
                block_.columnHeader = cells;
                block_.columnHeaderLine = 0;
            }
            return;
        }
        case LineKind::Text:
            TakeText(std::move(cells));
            return;
        case LineKind::Data:
            if (!block_.hasData) StartData(cells);
            TakeRow(cells);
            return;
        }
    }

    void TakeText(Cells cells) {
        const MeasurementCell* first = FirstFilled(cells);
        bool missingValues = NonEmpty(cells) >= 2;
        bool seenFirst = false;
        for (const auto& c : cells) {
            if (c.IsEmpty()) continue;
            if (seenFirst) missingValues = missingValues && NamesMissingValue(c.text);
            seenFirst = true;
        }
        // "Ch1,N/A,N/A" is a row without values; a line of two names or more heads columns.
        const bool namesColumns =
            !missingValues && NonEmpty(cells) >= 2 && !LooksLikeNumber(*first);
        if (block_.hasData) {
            if (!namesColumns) {
                Skip(lineNumber_);
                return;
            }
            FinishBlock();
        }
        if (namesColumns) {
            block_.columnHeader = cells;
            block_.columnHeaderLine = lineNumber_;
        }
        block_.lines.push_back({lineNumber_, std::move(cells)});
        // Only the lines nearest the data name its columns; older ones are counted and let go,
        // so that a long text before any data holds no memory.
        if (block_.lines.size() > kHeaderLinesKept) {
            Skip(block_.lines.front().line);
            block_.lines.erase(block_.lines.begin());
        }
    }

    // The frequency columns: the first, and every other one a header line names so ("X,Y,X,Y").
    std::vector<int> FrequencyColumns() const {
        std::vector<const Cells*> candidates;
        if (block_.columnHeader) candidates.push_back(&*block_.columnHeader);
        // NOLINTNEXTLINE(modernize-loop-convert): the nearest header line first
        for (auto it = block_.lines.rbegin(); it != block_.lines.rend(); ++it)
            candidates.push_back(&it->cells);
        for (const Cells* cells : candidates) {
            std::vector<int> columns{0};
            for (int k = 1; k < static_cast<int>(cells->size()); ++k) {
                if (NamesFrequency(CellText(*cells, k))) columns.push_back(k);
            }
            if (columns.size() > 1 && NamesFrequency(CellText(*cells, 0))) return columns;
        }
        return {0};
    }

    // Pairs that no header names: every other column of the first row repeats its frequency
    // ("100,80,100,70"), so no curve takes a frequency column as its levels.
    static std::vector<int> RepeatedFrequencyColumns(const Cells& row) {
        std::vector<int> columns{0};
        const int width = static_cast<int>(row.size());
        if (width < 4 || width % 2 != 0 || row[0].IsEmpty()) return columns;
        for (int k = 2; k < width; k += 2) {
            if (row[std::size_t(k)].text != row[0].text) return {0};
            columns.push_back(k);
        }
        return columns;
    }

    bool NamesAFrequencyColumn() const {
        const auto names = [](const Cells& cells) {
            return std::any_of(cells.begin(), cells.end(),
                               [](const auto& c) { return NamesFrequency(c.text); });
        };
        if (block_.columnHeader && names(*block_.columnHeader)) return true;
        return std::any_of(block_.lines.begin(), block_.lines.end(),
                           [&](const HeaderLine& h) { return names(h.cells); });
    }

    QString UpperName(int level, int frequency) const {
        // NOLINTNEXTLINE(modernize-loop-convert): the nearest header line first
        for (auto it = block_.lines.rbegin(); it != block_.lines.rend(); ++it) {
            if (it->line == block_.columnHeaderLine) continue;
            for (int k : {level, frequency}) {
                QString text = CellText(it->cells, k).trimmed();
                if (!text.isEmpty() && !IsGenericName(text)) return text;
            }
        }
        return {};
    }

    void StartData(const Cells& row) {
        block_.hasData = true;
        block_.key.clear();
        for (const HeaderLine& h : block_.lines) {
            for (const auto& c : h.cells) block_.key += c.text + u'\t';
            block_.key += u'\n';
        }
        // A block begins where header lines name a frequency column anew; the same header
        // again, or lines of text that name none, continue the columns before them.
        const bool repeated =
            previousData_ && (block_.key == previous_.key || !NamesAFrequencyColumn());
        // Header lines are skipped lines, but for the header itself; a header repeated over a
        // continued column counts too.
        for (const HeaderLine& h : block_.lines) {
            if (repeated || h.line != block_.columnHeaderLine) Skip(h.line);
        }
        if (repeated) {
            block_.groups = previous_.groups;
            block_.stripLeading = previous_.stripLeading;
            return;
        }
        ++blocks_;
        const Cells* header = block_.columnHeader ? &*block_.columnHeader : nullptr;
        std::vector<int> frequencies = header ? FrequencyColumns() : std::vector<int>{0};
        if (frequencies.size() == 1) frequencies = RepeatedFrequencyColumns(row);
        const int width = static_cast<int>(std::max(row.size(), header ? header->size() : 0));
        for (std::size_t g = 0; g < frequencies.size(); ++g) {
            Group group;
            group.frequencyColumn = frequencies[g];
            const int end = g + 1 < frequencies.size() ? frequencies[g + 1] : width;
            for (int k = group.frequencyColumn + 1; k < end; ++k) {
                if (!header) {
                    // Without a header the column after the frequency is the level, a next
                    // one perhaps its phase.
                    if (k == group.frequencyColumn + 1) group.levelColumns.push_back(k);
                    continue;
                }
                const QString name = CellText(*header, k);
                if (!name.isEmpty() && !NamesPhase(name) && !NamesFrequency(name))
                    group.levelColumns.push_back(k);
            }
            if (!group.levelColumns.empty()) block_.groups.push_back(group);
        }
        if (block_.groups.empty()) {
            // A header that names no level column is none.
            block_.columnHeader.reset();
            Group group;
            group.levelColumns = {1};
            block_.groups.push_back(group);
            header = nullptr;
        }
        block_.stripLeading = block_.groups.size() == 1 && block_.groups[0].frequencyColumn == 0;
        for (Group& group : block_.groups) {
            for (int k : group.levelColumns) {
                Accumulator a;
                a.reading.column = k + 1;
                a.reading.firstLine = lineNumber_;
                a.block = blocks_;
                a.headerName = header ? CellText(*header, k).trimmed() : QString();
                a.upperName = UpperName(k, group.frequencyColumn);
                group.curves.push_back(curves_.size());
                curves_.push_back(std::move(a));
            }
        }
    }

    std::optional<double> Number(const Cells& cells, int k) const {
        if (k >= static_cast<int>(cells.size())) return std::nullopt;
        return ReadMeasurementNumber(cells[std::size_t(k)], mark_);
    }

    void TakeRow(Cells cells) {
        if (block_.stripLeading) {
            const auto filled = std::find_if(cells.begin(), cells.end(),
                                             [](const auto& c) { return !c.IsEmpty(); });
            cells.erase(cells.begin(), filled);
        }
        struct Taken {
            std::size_t curve;
            double hz;
            double db;
        };
        std::vector<Taken> taken;
        for (const Group& g : block_.groups) {
            const bool hasFrequency = !CellText(cells, g.frequencyColumn).isEmpty();
            const bool hasLevel = std::any_of(g.levelColumns.begin(), g.levelColumns.end(),
                                              [&](int k) { return !CellText(cells, k).isEmpty(); });
            // A shorter pair's rows end in empty cells.
            if (!hasFrequency && !hasLevel) continue;
            const auto hz = Number(cells, g.frequencyColumn);
            if (!hz || *hz < 0.0) return Skip(lineNumber_);
            // A DFT's row at 0 Hz is data without a place on a logarithmic axis.
            if (*hz == 0.0) continue;
            for (std::size_t i = 0; i < g.levelColumns.size(); ++i) {
                const auto db = Number(cells, g.levelColumns[i]);
                if (!db) return Skip(lineNumber_);
                taken.push_back({g.curves[i], *hz, *db});
            }
        }
        if (taken.empty() && block_.groups.size() > 1) Skip(lineNumber_);
        for (const Taken& t : taken) Add(curves_[t.curve], t.hz, t.db);
    }

    void Add(Accumulator& a, double hz, double db) {
        if (!a.reading.fault.isEmpty()) return;
        if (!(hz <= kHighestHz)) {
            a.reading.fault = QStringLiteral("line %1: %2 Hz is no frequency a measurement has")
                                  .arg(lineNumber_)
                                  .arg(hz, 0, 'g', 6);
            return;
        }
        if (!a.points.empty()) {
            const double last = a.points.back().hz;
            if (hz < last) {
                // Rising, then falling by more than an octave where no new block begins: a number
                // misread (a thousands separator taken for a decimal mark).
                if (a.rose && hz < a.highest / 2.0) {
                    a.reading.fault = QStringLiteral("line %1: the frequency falls back from %2 Hz "
                                                     "to %3 Hz where no new block begins (a "
                                                     "misread number?)")
                                          .arg(lineNumber_)
                                          .arg(last, 0, 'g', 6)
                                          .arg(hz, 0, 'g', 6);
                    return;
                }
                ++a.reading.unordered;
            } else if (hz > last) {
                a.rose = true;
            }
        }
        a.highest = std::max(a.highest, hz);
        a.points.push_back({hz, db, lineNumber_});
    }

    void FinishBlock() {
        if (!block_.hasData) {
            for (const HeaderLine& h : block_.lines) Skip(h.line);
        } else {
            previous_ = block_;
            previousData_ = true;
        }
        block_ = Block{};
    }

    // Sorted, duplicates merged, checked; named.
    static void Settle(Accumulator& a, MeasurementCurve& curve) {
        std::stable_sort(a.points.begin(), a.points.end(),
                         [](const Point& x, const Point& y) { return x.hz < y.hz; });
        bool sameAsFrequency = a.points.size() >= 2;
        const Point* beyond = nullptr;
        for (std::size_t i = 0; i < a.points.size();) {
            std::size_t j = i;
            double sum = 0.0;
            for (; j < a.points.size() && a.points[j].hz == a.points[i].hz; ++j) {
                const Point& p = a.points[j];
                sum += p.db;
                sameAsFrequency = sameAsFrequency && std::abs(p.db - p.hz) <= 1e-6 * p.hz;
                if (!beyond && std::abs(p.db) > kLevelLimitDb) beyond = &p;
            }
            curve.hz.push_back(a.points[i].hz);
            curve.db.push_back(sum / double(j - i));
            a.reading.merged += static_cast<int>(j - i - 1);
            i = j;
        }
        QString& fault = a.reading.fault;
        if (!fault.isEmpty()) return;
        if (sameAsFrequency) {
            fault = QStringLiteral("column %1 holds the frequencies again, not levels")
                        .arg(a.reading.column);
        } else if (beyond) {
            fault = QStringLiteral("line %1, column %2: a level of %3 dB is no measurement (more "
                                   "than %4 dB from 0 dB)")
                        .arg(beyond->line)
                        .arg(a.reading.column)
                        .arg(beyond->db, 0, 'g', 6)
                        .arg(kLevelLimitDb);
        } else if (curve.hz.size() == 1 && a.points.size() > 1) {
            fault = QStringLiteral("all %1 rows from line %2 are at %3 Hz")
                        .arg(a.points.size())
                        .arg(a.reading.firstLine)
                        .arg(curve.hz[0], 0, 'g', 6);
        }
    }

    MeasurementFile Finish() {
        const bool severalBlocks = blocks_ > 1;
        std::vector<int> groupsOfBlock(std::size_t(blocks_ + 1), 0);
        for (const Accumulator& a : curves_) ++groupsOfBlock[std::size_t(a.block)];
        for (Accumulator& a : curves_) {
            if (a.points.empty()) continue;
            MeasurementCurve curve;
            // Names above the header tell curves apart that the header names alike ("X,Y").
            const bool upper = severalBlocks || groupsOfBlock[std::size_t(a.block)] > 1;
            curve.name = upper && !a.upperName.isEmpty() ? a.upperName : a.headerName;
            Settle(a, curve);
            file_.curves.push_back(std::move(curve));
            file_.readings.push_back(a.reading);
        }
        // A name that is not unique gets the line where its curve begins.
        for (std::size_t k = 0; k < file_.curves.size(); ++k) {
            const QString name = file_.curves[k].name;
            const auto same = std::count_if(file_.curves.begin(), file_.curves.end(),
                                            [&](const auto& c) { return c.name == name; });
            if (same > 1 && !(name.isEmpty() && file_.curves.size() == 1)) {
                for (std::size_t m = 0; m < file_.curves.size(); ++m) {
                    if (file_.curves[m].name != name) continue;
                    const QString where = QStringLiteral("column %1 from line %2")
                                              .arg(file_.readings[m].column)
                                              .arg(file_.readings[m].firstLine);
                    file_.curves[m].name =
                        name.isEmpty() ? where : QStringLiteral("%1 (%2)").arg(name, where);
                }
            }
        }
        for (const MeasurementCurve& c : file_.curves) file_.curveNames << c.name;
        return std::move(file_);
    }

    DecimalMark mark_;
    MeasurementFile file_;
    std::vector<Accumulator> curves_;
    Block block_;
    Block previous_;
    bool previousData_ = false;
    int blocks_ = 0;
    int lineNumber_ = 0;
};

// What the numbers of the data lines say of the decimal mark.
struct MarkVotes {
    int pointLine = 0;  // the first line whose numbers write a decimal point
    int commaLine = 0;  // ... a decimal comma
    int eitherLine = 0; // ... a number that reads either way
    QString eitherText;
};

MarkVotes CountMarks(QStringView text) {
    MarkVotes votes;
    int lineNumber = 0;
    ForEachLine(text, [&](QStringView line) {
        ++lineNumber;
        Cells cells;
        if (Classify(line, cells) != LineKind::Data) return;
        for (const auto& c : cells) {
            switch (EvidenceOf(c)) {
            case MarkEvidence::Point:
                if (!votes.pointLine) votes.pointLine = lineNumber;
                break;
            case MarkEvidence::Comma:
                if (!votes.commaLine) votes.commaLine = lineNumber;
                break;
            case MarkEvidence::Either:
                if (!votes.eitherLine) {
                    votes.eitherLine = lineNumber;
                    votes.eitherText = c.text;
                }
                break;
            case MarkEvidence::None:
                break;
            }
        }
    });
    return votes;
}

bool Usable(const MeasurementFile& f) {
    return f.HasData() && std::all_of(f.readings.begin(), f.readings.end(),
                                      [](const CurveReading& r) { return r.fault.isEmpty(); });
}

} // namespace

MeasurementFile ReadMeasurementText(QStringView text) {
    const MarkVotes votes = CountMarks(text);
    if (votes.pointLine && votes.commaLine) {
        MeasurementFile file;
        file.fault = QStringLiteral("line %1 writes numbers with a decimal point, line %2 with a "
                                    "decimal comma: they cannot all be read one way")
                         .arg(votes.pointLine)
                         .arg(votes.commaLine);
        return file;
    }
    if (votes.commaLine) return Reader(DecimalMark::Comma).Read(text);
    if (votes.pointLine || !votes.eitherLine) return Reader(DecimalMark::Point).Read(text);
    // Every mark is followed by three digits: the reading that makes a measurement wins.
    MeasurementFile point = Reader(DecimalMark::Point).Read(text);
    MeasurementFile comma = Reader(DecimalMark::Comma).Read(text);
    const bool pointUsable = Usable(point);
    const bool commaUsable = Usable(comma);
    if (pointUsable && commaUsable) {
        MeasurementFile file;
        file.fault = QStringLiteral("line %1: \"%2\" reads both as a decimal number and as a "
                                    "number with thousands grouped; write the numbers without "
                                    "thousands separators")
                         .arg(votes.eitherLine)
                         .arg(votes.eitherText);
        return file;
    }
    return commaUsable ? comma : point;
}

int FindCurve(const MeasurementFile& file, const QString& name, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return -1;
    };
    if (!file.HasData()) return fail(QStringLiteral("no measurement data"));
    const QString names =
        QStringLiteral("\"%1\"").arg(file.curveNames.join(QStringLiteral("\", \"")));
    const int count = static_cast<int>(file.curves.size());
    if (name.isEmpty()) {
        if (count == 1) return 0;
        return fail(QStringLiteral("%1 curves, choose one with --curve: %2").arg(count).arg(names));
    }
    const QString wanted = name.trimmed();
    std::vector<int> prefixed;
    for (int k = 0; k < count; ++k) {
        const QString own = file.curveNames.value(k).trimmed();
        if (own.compare(wanted, Qt::CaseInsensitive) == 0) return k;
        if (own.startsWith(wanted, Qt::CaseInsensitive)) prefixed.push_back(k);
    }
    if (prefixed.size() == 1) return prefixed[0];
    if (prefixed.empty())
        return fail(QStringLiteral("no curve \"%1\"; the file has %2").arg(wanted, names));
    return fail(
        QStringLiteral("\"%1\" begins more than one curve; the file has %2").arg(wanted, names));
}

std::optional<MeasurementCurve> ChooseCurve(const MeasurementFile& file, const QString& name,
                                            QString* error) {
    const int k = FindCurve(file, name, error);
    if (k < 0) return std::nullopt;
    const QString& fault = file.readings[std::size_t(k)].fault;
    if (!fault.isEmpty()) {
        if (error) *error = fault;
        return std::nullopt;
    }
    return file.curves[std::size_t(k)];
}

QString FitRangeFault(const MeasurementCurve& curve, double lowHz, double highHz) {
    const auto inRange = std::count_if(curve.hz.begin(), curve.hz.end(),
                                       [&](double hz) { return hz >= lowHz && hz <= highHz; });
    if (inRange >= kFitPointsNeeded) return {};
    return QStringLiteral("%1 has %2 point(s) between %3 and %4 Hz; a fit needs at least %5")
        .arg(curve.name.isEmpty() ? QStringLiteral("the measurement")
                                  : QStringLiteral("\"%1\"").arg(curve.name))
        .arg(inRange)
        .arg(lowHz)
        .arg(highHz)
        .arg(kFitPointsNeeded);
}

} // namespace zx
