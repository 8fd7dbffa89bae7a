#include "presets/filter_list.h"

#include "model/value_scales.h"

#include <QRegularExpression>

#include <cmath>

namespace zx {
namespace {

struct Token {
    bool isNumber = false;
    double value = 0.0;
    // The value with a grouping dot read as a decimal point ("4.700" in a list with decimal
    // commas is 4700 as a frequency, 4.7 as a Q or gain).
    double pointValue = 0.0;
    QString word; // lower case
};

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsGroupSpace(QChar c) {
    return c == QChar(0x00A0) || c == QChar(0x202F);
}

// Splits "Fc63Hz Gain -3,5dB" into fc, 63, hz, gain, -3.5, db. A comma or point between two
// digits is a decimal separator; anywhere else a comma or semicolon only separates. In a list
// with decimal commas a dot followed by three digits groups thousands; a no-break or narrow
// space between digits always does.
std::vector<Token> Tokenise(QStringView s, bool decimalComma = false) {
    std::vector<Token> out;
    qsizetype i = 0;
    const auto at = [&](qsizetype k) { return k < s.size() ? s[k] : QChar(); };
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace() || c == u',' || c == u';') {
            ++i;
            continue;
        }
        const bool signedNumber = (c == u'-' || c == u'+') &&
                                  (IsDigit(at(i + 1)) || (at(i + 1) == u'.' && IsDigit(at(i + 2))));
        if (IsDigit(c) || signedNumber || (c == u'.' && IsDigit(at(i + 1)))) {
            QString number;
            if (signedNumber) number += s[i++];
            QString asPoint = number;
            bool point = false;
            while (i < s.size()) {
                const QChar d = s[i];
                const bool threeDigits = IsDigit(at(i + 1)) && IsDigit(at(i + 2)) &&
                                         IsDigit(at(i + 3)) && !IsDigit(at(i + 4));
                if (IsDigit(d)) {
                    number += d;
                    asPoint += d;
                } else if (!point && ((IsGroupSpace(d) && IsDigit(at(i + 1))) ||
                                      (d == u'.' && decimalComma && threeDigits))) {
                    // a thousands separator: nothing to add
                    if (d == u'.') asPoint += asPoint.contains(u'.') ? QChar(u'x') : QChar(u'.');
                } else if ((d == u'.' || d == u',') && !point && IsDigit(at(i + 1))) {
                    number += u'.';
                    asPoint += asPoint.contains(u'.') ? QChar(u'x') : QChar(u'.');
                    point = true;
                } else {
                    break;
                }
                ++i;
            }
            const double v = number.toDouble();
            bool pointOk = false;
            const double p = asPoint.toDouble(&pointOk);
            // A number too long for a double is no value a filter can have.
            if (std::isfinite(v)) {
                out.push_back({true, v, pointOk && std::isfinite(p) ? p : v, {}});
            } else {
                out.push_back({false, 0.0, 0.0, number});
            }
        } else if (c.isLetter()) {
            const qsizetype start = i;
            while (i < s.size() && s[i].isLetter()) ++i;
            out.push_back({false, 0.0, 0.0, s.mid(start, i - start).toString().toLower()});
        } else {
            out.push_back({false, 0.0, 0.0, QString(c)});
            ++i;
        }
    }
    return out;
}

class FilterReader {
  public:
    FilterReader(const std::vector<Token>& tokens) : t_(tokens) {}

    // The filter, or nothing with `why` saying why it was left out (empty: a "None" slot;
    // `off` set: a filter switched off).
    bool off = false;
    std::optional<ListFilter> Read(QString& why) {
        ListFilter f;
        if (IsWord(u"off")) {
            // Switched off: Equalizer APO plays nothing for it, so leaving it out changes
            // nothing (an unused "OFF None" slot is not even mentioned).
            if (i_ + 1 < t_.size() && t_[i_ + 1].word == u"none") return std::nullopt;
            why = QStringLiteral("switched off");
            off = true;
            return std::nullopt;
        }
        if (IsWord(u"on")) ++i_;
        if (i_ >= t_.size() || t_[i_].isNumber) {
            why = QStringLiteral("no filter type");
            return std::nullopt;
        }
        const QString type = t_[i_++].word;
        f.typeText = type.toUpper();
        if (type == u"none") return std::nullopt;
        if (type == u"pk" || type == u"peq" || type == u"modal") {
            f.kind = ListFilterKind::Peaking;
        } else if (type == u"ls" || type == u"lsc" || type == u"lsq") {
            f.kind = ListFilterKind::LowShelf;
            f.shelf = type == u"ls" ? ShelfForm::Standard : ShelfForm::CentreQ;
        } else if (type == u"hs" || type == u"hsc" || type == u"hsq") {
            f.kind = ListFilterKind::HighShelf;
            f.shelf = type == u"hs" ? ShelfForm::Standard : ShelfForm::CentreQ;
        } else if (type == u"hp" || type == u"hpq") {
            f.kind = ListFilterKind::HighPass;
        } else if (type == u"lp" || type == u"lpq") {
            f.kind = ListFilterKind::LowPass;
        } else {
            why = QStringLiteral("unsupported type %1").arg(f.typeText);
            return std::nullopt;
        }
        const bool shelf =
            f.kind == ListFilterKind::LowShelf || f.kind == ListFilterKind::HighShelf;
        if (shelf && IsNumber() && i_ + 1 < t_.size() && t_[i_ + 1].word == u"db") {
            const double slope = t_[i_].value;
            i_ += 2;
            f.typeText += QStringLiteral(" %1dB").arg(slope);
            if (f.shelf == ShelfForm::CentreQ) {
                f.slopeDb = slope;
            } else if (slope == 6.0) {
                f.shelf = ShelfForm::FirstOrder;
            } else if (slope == 12.0) {
                f.shelf = ShelfForm::SecondOrder;
            } else {
                why = QStringLiteral("unsupported type %1").arg(f.typeText);
                return std::nullopt;
            }
        }
        std::optional<double> fc;
        std::optional<double> bw;
        while (i_ < t_.size()) {
            const Token& key = t_[i_++];
            std::optional<double> v;
            if (key.word == u"fc") {
                v = Number();
                if (v && IsWord(u"khz")) {
                    *v *= 1000.0;
                    ++i_;
                } else if (v && IsWord(u"hz")) {
                    ++i_;
                }
                fc = v;
            } else if (key.word == u"gain") {
                // A dot never groups the thousands of a gain or Q: neither reaches 1000.
                v = PointNumber();
                if (v && IsWord(u"db")) ++i_;
                f.gainDb = v;
            } else if (key.word == u"q") {
                v = PointNumber();
                f.q = v;
            } else if (key.word == u"t" && IsNumber() && t_[i_].value == 60.0) {
                // A modal filter's "T60 target 300 ms" says how it was designed, not what
                // it plays.
                ++i_;
                if (IsWord(u"target")) ++i_;
                v = Number();
                if (v && IsWord(u"ms")) ++i_;
            } else if (key.word == u"bw") {
                if (IsWord(u"oct")) ++i_;
                v = Number();
                if (v && IsWord(u"oct")) ++i_;
                bw = v;
            }
            if (!v) {
                why = QStringLiteral("cannot read \"%1\"")
                          .arg(key.isNumber ? QString::number(key.value) : key.word);
                return std::nullopt;
            }
        }
        if (!fc || !(*fc > 0.0) || !std::isfinite(*fc)) {
            why = QStringLiteral("no frequency");
            return std::nullopt;
        }
        f.fc = *fc;
        if (bw && !f.q) {
            if (!(*bw > 0.0)) {
                why = QStringLiteral("bandwidth must be above 0");
                return std::nullopt;
            }
            f.q = QOfBandwidth(*bw);
            f.fromBandwidth = true;
        }
        if (f.q && !(*f.q > 0.0)) {
            why = QStringLiteral("Q must be above 0");
            return std::nullopt;
        }
        if ((f.kind == ListFilterKind::Peaking || shelf) && !f.gainDb) {
            why = QStringLiteral("no gain");
            return std::nullopt;
        }
        if (f.kind == ListFilterKind::Peaking && !f.q) {
            why = QStringLiteral("no Q");
            return std::nullopt;
        }
        return f;
    }

  private:
    bool IsWord(QStringView w) const {
        return i_ < t_.size() && !t_[i_].isNumber && t_[i_].word == w;
    }
    bool IsNumber() const { return i_ < t_.size() && t_[i_].isNumber; }
    std::optional<double> Number() {
        if (!IsNumber()) return std::nullopt;
        return t_[i_++].value;
    }
    std::optional<double> PointNumber() {
        if (!IsNumber()) return std::nullopt;
        return t_[i_++].pointValue;
    }

    const std::vector<Token>& t_;
    std::size_t i_ = 0;
};

// "# Crossover: HP 24db-LR Fc 80 Hz" or "# Crossover: LP 48db-Bessel off".
std::optional<ListFilter> ReadCrossoverComment(QStringView body) {
    const QStringList words = body.toString().simplified().split(u' ');
    if (words.size() < 3) return std::nullopt;
    ListFilter f;
    if (words[0].compare(u"HP", Qt::CaseInsensitive) == 0) {
        f.kind = ListFilterKind::HighPass;
    } else if (words[0].compare(u"LP", Qt::CaseInsensitive) == 0) {
        f.kind = ListFilterKind::LowPass;
    } else {
        return std::nullopt;
    }
    const QStringList types = CrossoverTypeTexts();
    for (int t = 0; t < types.size(); ++t) {
        if (types[t].compare(words[1], Qt::CaseInsensitive) == 0) f.crossoverType = t;
    }
    if (!f.crossoverType) return std::nullopt;
    f.typeText = words[0].toUpper() + u' ' + types[*f.crossoverType];
    if (words.size() == 3 && words[2].compare(u"off", Qt::CaseInsensitive) == 0) {
        f.crossoverOff = true;
        return f;
    }
    const std::vector<Token> rest = Tokenise(QStringView(words.mid(2).join(u' ')));
    if (rest.size() < 2 || rest[0].word != u"fc" || !rest[1].isNumber || !(rest[1].value > 0.0))
        return std::nullopt;
    if (rest.size() > 3 || (rest.size() == 3 && rest[2].word != u"hz")) return std::nullopt;
    f.fc = rest[1].value;
    return f;
}

} // namespace

double QOfBandwidth(double octaves) {
    const double p = std::pow(2.0, octaves);
    return std::sqrt(p) / (p - 1.0);
}

QString NoteKindText(ListNote::Kind kind) {
    switch (kind) {
    case ListNote::Kind::Dropped:
        return QStringLiteral("dropped");
    case ListNote::Kind::Limited:
        return QStringLiteral("limited");
    case ListNote::Kind::Changed:
        return QStringLiteral("changed");
    case ListNote::Kind::Ignored:
        return QStringLiteral("ignored");
    case ListNote::Kind::Skipped:
        return QStringLiteral("skipped");
    case ListNote::Kind::Info:
        break;
    }
    return QStringLiteral("note");
}

namespace {

// "# Device band 3: type 0 freq 136 peak 99 shelf 120 q 5"
std::optional<DeviceBandValues> ReadDeviceComment(QStringView body) {
    static const QRegularExpression form(
        QStringLiteral(
            "^device band \\d+: type (\\d+) freq (\\d+) peak (\\d+) shelf (\\d+) q (\\d+)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(body.toString().simplified());
    if (!m.hasMatch()) return std::nullopt;
    DeviceBandValues v{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                       m.captured(4).toInt(), m.captured(5).toInt()};
    const bool inRange = v.type <= 2 && v.freq <= kMaxFrequencyIndex &&
                         v.peakGain <= kMaxEqGainIndex && v.shelfGain <= kMaxEqGainIndex &&
                         v.q <= kMaxQIndex;
    if (!inRange) return std::nullopt;
    return v;
}

// Whether the list writes its numbers with decimal commas ("Gain -3,5 dB").
bool UsesDecimalCommas(QStringView text) {
    static const QRegularExpression filterComma(
        QStringLiteral("^\\s*(filter|preamp)[^\\n]*\\d,\\d"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    return filterComma.match(text.toString()).hasMatch();
}

} // namespace

FilterList ReadFilterList(QStringView text) {
    FilterList list;
    const bool decimalComma = UsesDecimalCommas(text);
    std::optional<DeviceBandValues> device;
    int lineNumber = 0;
    QStringView line;
    // Notes quote the line, shortened, so the reader sees which filter is meant.
    const auto note = [&](ListNote::Kind kind, const QString& what) {
        const QString quoted =
            line.size() > 72 ? line.left(69).toString() + QStringLiteral("...") : line.toString();
        list.notes.push_back({kind, lineNumber, QStringLiteral("%1: \"%2\"").arg(what, quoted)});
    };
    qsizetype start = 0;
    while (start < text.size()) {
        // Lines end in LF, CR LF or a lone CR.
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
        line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') ++start;
        ++lineNumber;
        if (line.isEmpty()) continue;
        // The device values apply to the filter line right below them only.
        std::optional<DeviceBandValues> deviceAbove;
        std::swap(deviceAbove, device);
        if (line.startsWith(u'#')) {
            const QStringView body = line.mid(1).trimmed();
            if (body.startsWith(QLatin1String("device band"), Qt::CaseInsensitive)) {
                device = ReadDeviceComment(body);
                continue;
            }
            if (!body.startsWith(QLatin1String("crossover"), Qt::CaseInsensitive)) continue;
            const QStringView rest = body.mid(9).trimmed();
            if (!rest.startsWith(u':')) continue;
            if (auto f = ReadCrossoverComment(rest.mid(1))) {
                list.entries.push_back({ListEntry::What::Filter, lineNumber, *f, 0.0, {}});
            } else {
                note(ListNote::Kind::Dropped, QStringLiteral("unreadable crossover comment"));
            }
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        const QString head =
            colon < 0 ? QString() : line.left(colon).toString().simplified().toLower();
        const QStringView body = colon < 0 ? QStringView() : line.mid(colon + 1);
        static const QRegularExpression filterHead(QStringLiteral("^filter( ?\\d+)?$"));
        if (filterHead.match(head).hasMatch()) {
            const std::vector<Token> tokens = Tokenise(body, decimalComma);
            FilterReader reader(tokens);
            QString why;
            if (auto f = reader.Read(why)) {
                f->device = deviceAbove;
                list.entries.push_back({ListEntry::What::Filter, lineNumber, *f, 0.0, {}});
            } else if (!why.isEmpty()) {
                note(reader.off ? ListNote::Kind::Info : ListNote::Kind::Dropped, why);
            }
        } else if (head == u"preamp") {
            const std::vector<Token> tokens = Tokenise(body, decimalComma);
            const bool readable =
                !tokens.empty() && tokens[0].isNumber &&
                (tokens.size() == 1 || (tokens.size() == 2 && tokens[1].word == u"db"));
            if (readable) {
                list.entries.push_back(
                    {ListEntry::What::Preamp, lineNumber, {}, tokens[0].pointValue, {}});
            } else {
                note(ListNote::Kind::Dropped, QStringLiteral("unreadable Preamp"));
            }
        } else if (head == u"channel") {
            QStringList names = body.toString().simplified().split(u' ', Qt::SkipEmptyParts);
            if (names.isEmpty()) {
                note(ListNote::Kind::Ignored, QStringLiteral("Channel names no channel"));
            } else {
                list.entries.push_back({ListEntry::What::Channel, lineNumber, {}, 0.0, names});
            }
        } else if (colon > 0 && !head.contains(u' ')) {
            note(ListNote::Kind::Ignored,
                 QStringLiteral("\"%1:\" is not a filter").arg(line.left(colon).toString()));
        } else {
            note(ListNote::Kind::Ignored, QStringLiteral("neither a filter nor a comment"));
        }
    }
    return list;
}

} // namespace zx
