#include "model/entry_fields.h"

#include "model/value_scales.h"

#include <algorithm>

namespace zx {
namespace {

struct TableView {
    const double* entries;
    int maxIndex;
};

TableView View(FieldTable table) {
    switch (table) {
    case FieldTable::Frequency:
        return {FrequencyScale.data(), kMaxFrequencyIndex};
    case FieldTable::EqGain:
        return {EqGainScale.data(), kMaxEqGainIndex};
    case FieldTable::Q:
        break;
    }
    return {QScale.data(), kMaxQIndex};
}

} // namespace

int FieldMaxIndex(FieldTable table) {
    return View(table).maxIndex;
}

double FieldValue(FieldTable table, int index) {
    const TableView t = View(table);
    return t.entries[std::clamp(index, 0, t.maxIndex)];
}

std::optional<double> ParseFieldNumber(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'-') ++i;
    int digits = 0;
    int dots = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.') {
            if (++dots > 1) return std::nullopt;
        } else if (c >= u'0' && c <= u'9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    bool ok = false;
    const double v = text.toString().toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
}

int SnapToTable(FieldTable table, double v) {
    const TableView t = View(table);
    v = std::clamp(v, t.entries[0], t.entries[t.maxIndex]);
    for (int i = 1; i <= t.maxIndex; ++i) {
        if (v <= t.entries[i]) return (v - t.entries[i - 1]) > (t.entries[i] - v) ? i : i - 1;
    }
    return t.maxIndex;
}

int SnapFrequency(double hz) {
    return SnapToTable(FieldTable::Frequency, hz);
}
int SnapGain(double db) {
    return SnapToTable(FieldTable::EqGain, db);
}
int SnapQ(double q) {
    return SnapToTable(FieldTable::Q, q);
}

namespace {
std::optional<int> SnapText(FieldTable table, QStringView text) {
    const auto v = ParseFieldNumber(text);
    if (!v) return std::nullopt;
    return SnapToTable(table, *v);
}
} // namespace

std::optional<int> SnapFrequencyText(QStringView text) {
    return SnapText(FieldTable::Frequency, text);
}
std::optional<int> SnapGainText(QStringView text) {
    return SnapText(FieldTable::EqGain, text);
}
std::optional<int> SnapQText(QStringView text) {
    return SnapText(FieldTable::Q, text);
}

QString FieldText(FieldTable table, int index) {
    return FormatOneDecimal(FieldValue(table, index));
}

bool FieldAcceptsKey(FieldTable table, QChar c) {
    if (c == u'\b' || c == u'\r' || c == u'.' || (c >= u'0' && c <= u'9')) return true;
    return table == FieldTable::EqGain && c == u'-';
}

FieldCommit DecideFieldCommit(FieldTable table, const QString& text, const QString& previousText) {
    if (text == previousText) return {};
    const auto index = SnapText(table, text);
    if (!index) return {FieldCommit::Kind::Revert, 0, previousText};
    return {FieldCommit::Kind::Store, *index, FieldText(table, *index)};
}

} // namespace zx
