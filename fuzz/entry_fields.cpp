// The entry fields' commit and the three snapping functions with any text: a commit either
// changes nothing, reverts to the previous text, or stores an index inside its table and shows
// that entry; a text that snaps always snaps into the table.
//
// Input: the first byte chooses the table, the rest is the typed text as UTF-8.

#include "model/entry_fields.h"
#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    if (size == 0) return 0;
    const auto table = static_cast<FieldTable>(data[0] % 3);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString previous = QStringLiteral("1.0");

    const FieldCommit commit = DecideFieldCommit(table, text, previous);
    switch (commit.kind) {
    case FieldCommit::Kind::Unchanged:
        fuzz::Require(text == previous, "only the previous text leaves a field unchanged");
        break;
    case FieldCommit::Kind::Revert:
        fuzz::Require(commit.text == previous, "a revert shows the previous text");
        fuzz::Require(!ParseFieldNumber(text), "only a non-number reverts");
        break;
    case FieldCommit::Kind::Store:
        fuzz::Require(commit.index >= 0 && commit.index <= FieldMaxIndex(table), "index in table");
        fuzz::Require(commit.text == FieldText(table, commit.index), "shows the stored entry");
        break;
    }
    for (const auto& snapped : {SnapFrequencyText(text), SnapGainText(text), SnapQText(text)})
        fuzz::Require(!snapped || *snapped >= 0, "snapped index not negative");
    if (const auto f = SnapFrequencyText(text)) fuzz::Require(*f <= 240, "frequency index");
    if (const auto g = SnapGainText(text)) fuzz::Require(*g <= 180, "gain index");
    if (const auto q = SnapQText(text)) fuzz::Require(*q <= 179, "Q index");
    return 0;
}
