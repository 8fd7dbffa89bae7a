#include <gtest/gtest.h>

#include "model/entry_fields.h"
#include "model/value_scales.h"

using namespace zx;

namespace {

struct SnapCase {
    FieldTable table;
    const char* text;
    int index;
};

} // namespace

TEST(EntryFields, typedTextSnapsToTheNearestEntryAfterLimiting) {
    const SnapCase cases[] = {
        {FieldTable::Frequency, "1015", 136},
        {FieldTable::Frequency, "1016", 137},
        {FieldTable::Frequency, "20", 0},
        {FieldTable::Frequency, "20.1", 1},
        {FieldTable::Frequency, "1003", 136},
        {FieldTable::Frequency, "50000", 240},
        {FieldTable::Frequency, "0", 0},
        {FieldTable::Frequency, "20100", 240},
        {FieldTable::Frequency, "19.70", 0},
        {FieldTable::Frequency, ".5", 0},
        {FieldTable::EqGain, "0.1", 120},
        {FieldTable::EqGain, "-0.1", 119},
        {FieldTable::EqGain, "-0.3", 119},
        {FieldTable::EqGain, "11.9", 179},
        {FieldTable::EqGain, "5.55", 148},
        {FieldTable::EqGain, "99", 180},
        {FieldTable::EqGain, "-99", 0},
        {FieldTable::EqGain, "-0", 120},
        {FieldTable::Q, "0.3", 0},
        {FieldTable::Q, "1.1", 5},
        {FieldTable::Q, "0", 0},
        {FieldTable::Q, "99", 179},
        {FieldTable::Q, "1.", 4},
        {FieldTable::Frequency, "9999999999999999999999", 240},
    };
    for (const auto& c : cases) {
        const auto commit = DecideFieldCommit(c.table, QString::fromLatin1(c.text), QString());
        ASSERT_EQ(commit.kind, FieldCommit::Kind::Store) << c.text;
        EXPECT_EQ(commit.index, c.index) << c.text;
        EXPECT_EQ(commit.text, FieldText(c.table, c.index)) << c.text;
    }
    EXPECT_EQ(SnapFrequencyText(u"1016"), 137);
    EXPECT_EQ(SnapGainText(u"-0.3"), 119);
    EXPECT_EQ(SnapQText(u"1.1"), 5);
}

TEST(EntryFields, commitShowsOneDecimalRevertsNonNumbersAndIgnoresTheSameText) {
    EXPECT_EQ(DecideFieldCommit(FieldTable::Frequency, "1003", "1000.0").text, "1000.0");
    EXPECT_EQ(DecideFieldCommit(FieldTable::Frequency, "50000", "19.7").text, "20100.0");
    EXPECT_EQ(DecideFieldCommit(FieldTable::EqGain, "5.55", "0.0").text, "5.6");
    EXPECT_EQ(DecideFieldCommit(FieldTable::EqGain, "-24", "0.0").text, "-24.0");

    // The comparison is on the strings: 19.70 differs from 19.7 and commits.
    EXPECT_EQ(DecideFieldCommit(FieldTable::Frequency, "19.7", "19.7").kind,
              FieldCommit::Kind::Unchanged);
    const auto retyped = DecideFieldCommit(FieldTable::Frequency, "19.70", "19.7");
    EXPECT_EQ(retyped.kind, FieldCommit::Kind::Store);
    EXPECT_EQ(retyped.text, "19.7");

    for (const char* bad :
         {"", "-", ".", "-.", "1.2.3", "1-2", " 5", "5 ", "1e3", "+5", "abc", "--1"}) {
        const auto c = DecideFieldCommit(FieldTable::EqGain, QString::fromLatin1(bad), "3.0");
        EXPECT_EQ(c.kind, FieldCommit::Kind::Revert) << bad;
        EXPECT_EQ(c.text, "3.0") << bad;
    }
}

TEST(EntryFields, keysAcceptedByEachKindOfField) {
    const QString keys = QStringLiteral("0123456789.\b\r");
    for (QChar c : keys) {
        EXPECT_TRUE(FieldAcceptsKey(FieldTable::Frequency, c));
        EXPECT_TRUE(FieldAcceptsKey(FieldTable::Q, c));
        EXPECT_TRUE(FieldAcceptsKey(FieldTable::EqGain, c));
    }
    EXPECT_TRUE(FieldAcceptsKey(FieldTable::EqGain, u'-'));
    EXPECT_FALSE(FieldAcceptsKey(FieldTable::Frequency, u'-'));
    EXPECT_FALSE(FieldAcceptsKey(FieldTable::Q, u'-'));
    for (QChar c : QStringLiteral("aE+, \t")) EXPECT_FALSE(FieldAcceptsKey(FieldTable::EqGain, c));
}

TEST(EntryFields, everyTableEntrySnapsToItself) {
    for (FieldTable t : {FieldTable::Frequency, FieldTable::EqGain, FieldTable::Q})
        for (int i = 0; i <= FieldMaxIndex(t); ++i) EXPECT_EQ(SnapToTable(t, FieldValue(t, i)), i);
}
