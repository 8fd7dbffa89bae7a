// Filter lists as a room-measurement program and Equalizer APO write them, import that matches
// a list's response, and export that draws what the device draws.

#include <gtest/gtest.h>

#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "presets/filter_export.h"
#include "presets/filter_import.h"
#include "presets/filter_list.h"
#include "presets/list_match.h"
#include "presets/written_response.h"
#include "random_presets.h"

#include <random>
#include <vector>

using namespace zx;
using Kind = ListNote::Kind;

namespace {

constexpr ChannelId kOutLeft = 2;
constexpr ChannelId kOutRight = 3;

double FirstFc(const FilterList& list) {
    for (const ListEntry& e : list.entries) {
        if (e.what == ListEntry::What::Filter) return e.filter.fc;
    }
    return 0.0;
}

double Largest(const FilterImport& r, const ParameterModel& m, ChannelId ch) {
    for (const ChannelDeviation& d : CompareWithDevice(r.written, m)) {
        if (d.channel == ch) return d.maxDb;
    }
    return -1.0;
}

} // namespace

TEST(ListDetails, thousandsAreGroupedAsEqualizerApoReadsThem) {
    struct Case {
        const char* name;
        const char16_t* line;
        double fc;
        double gain;
        double q;
    };
    const Case cases[] = {
        {"dot in a decimal-comma list", u"Filter 1: ON PK Fc 8.000 Hz Gain -3,5 dB Q 1,41", 8000.0,
         -3.5, 1.41},
        {"dot and decimal comma", u"Filter 1: ON PK Fc 1.276,5 Hz Gain -3,5 dB Q 2", 1276.5, -3.5,
         2.0},
        {"dot in a decimal-point list", u"Filter 1: ON PK Fc 8.000 Hz Gain -3.5 dB Q 2", 8.0, -3.5,
         2.0},
        {"no-break space", u"Filter 1: ON PK Fc 1\u00A0276 Hz Gain -3 dB Q 2", 1276.0, -3.0, 2.0},
        {"narrow no-break space", u"Filter 1: ON PK Fc 12\u202F500 Hz Gain -3 dB Q 2", 12500.0,
         -3.0, 2.0},
        // A Q or gain never reaches 1000: its dot is a decimal point.
        {"Q and gain with a dot in a decimal-comma list",
         u"Filter 1: ON PK Fc 52,4 Hz Gain -7.300 dB Q 4.700", 52.4, -7.3, 4.7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FilterList list = ReadFilterList(QStringView(c.line));
        EXPECT_EQ(FirstFc(list), c.fc);
        ASSERT_FALSE(list.entries.empty());
        EXPECT_EQ(list.entries.front().filter.gainDb, c.gain);
        EXPECT_EQ(list.entries.front().filter.q, c.q);
    }
}

TEST(ListDetails, slotsTypesAndHeadersAsRealListsHaveThem) {
    struct Case {
        const char* name;
        const char16_t* text;
        int bands;
        bool changes;
        std::vector<std::pair<int, Kind>> notes; // every note but the band results
    };
    const Case cases[] = {
        {"unused slots are quiet",
         u"Filter 1: OFF None\nFilter 2: ON None\n"
         u"Filter 3: ON PK Fc 100 Hz Gain 3 dB Q 1",
         1,
         false,
         {}},
        {"a switched-off filter is no change",
         u"Filter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\nFilter 2: ON PK Fc 200 Hz Gain 3 dB Q 1",
         1,
         false,
         {{1, Kind::Info}}},
        {"modal is peaking, its T60 only says how it was made",
         u"Filter 2: ON  Modal    Fc   25.00 Hz  Gain  -7.00 dB  Q 16.139  T60 target   300 ms",
         1,
         false,
         {}},
        {"0 dB uses no band",
         u"Filter 1: ON PK Fc 100 Hz Gain 0.0 dB Q 1\nFilter 2: ON LS Fc 80 Hz Gain 0 dB\n"
         u"Filter 3: ON PK Fc 300 Hz Gain -2 dB Q 1",
         1,
         false,
         {{1, Kind::Info}, {2, Kind::Info}}},
        {"a room-measurement program's header",
         u"Filter Settings file\n\nRoom EQ V5.20\nDated: 10-Dec-2026\n\nNotes:\n\n"
         u"Equaliser: Generic\nAverage 1\nFilter 1: ON PK Fc 63 Hz Gain -4 dB Q 4",
         1,
         false,
         {{1, Kind::Ignored},
          {3, Kind::Ignored},
          {4, Kind::Ignored},
          {6, Kind::Ignored},
          {8, Kind::Ignored},
          {9, Kind::Ignored}}},
        {"an unreadable Preamp is dropped",
         u"Preamp: loud\nFilter: ON PK Fc 63 Hz Gain -4 dB Q 4",
         1,
         true,
         {{1, Kind::Dropped}}},
        {"a Preamp under a channel the device lacks is reported",
         u"Channel: R\nPreamp: -4 dB\nFilter: ON PK Fc 63 Hz Gain -4 dB Q 4\n"
         u"Channel: out_left\nFilter: ON PK Fc 90 Hz Gain -4 dB Q 4",
         1,
         true,
         {{1, Kind::Ignored}, {2, Kind::Dropped}, {3, Kind::Dropped}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel m;
        const FilterImport r = ImportFilterList(ReadFilterList(QStringView(c.text)), {kOutLeft}, m);
        int bands = 0;
        for (int b = 0; b < kBandsPerChannel; ++b)
            bands += ActiveGainIndex(m.band(kOutLeft, b)) != 120;
        EXPECT_EQ(bands, c.bands);
        EXPECT_EQ(r.HasChanges(), c.changes);
        std::vector<std::pair<int, Kind>> notes;
        for (const ListNote& n : r.notes) {
            if (!n.text.contains(u"->")) notes.emplace_back(n.line, n.kind);
        }
        EXPECT_EQ(notes, c.notes);
    }
}

TEST(ListDetails, aListsChannelsAreMappedAndTheRestReported) {
    const QString list =
        QString::fromUtf16(u"Preamp: -2 dB\nChannel: L\nPreamp: -1 dB\n"
                           u"Filter: ON PK Fc 63 Hz Gain -4 dB Q 4\n"
                           u"Channel: R\nFilter: ON PK Fc 90 Hz Gain -5 dB Q 4\n"
                           u"Channel: C\nPreamp: -9 dB\nFilter: ON PK Fc 120 Hz Gain -6 dB Q 4\n");
    ParameterModel m;
    const FilterImport r = ImportFilterList(ReadFilterList(list), {kOutLeft, kOutRight}, m,
                                            {{"L", kOutLeft}, {"r", kOutRight}});
    EXPECT_EQ(m.band(kOutLeft, 0).freqIndex, SnapFrequency(63.0));
    EXPECT_EQ(m.band(kOutRight, 0).freqIndex, SnapFrequency(90.0));
    EXPECT_EQ(m.channels[kOutLeft].gainIndex, 90);   // -3.0 dB
    EXPECT_EQ(m.channels[kOutRight].gainIndex, 100); // -2.0 dB
    // Channel C: its name, its Preamp and its filter reported; the Preamps as snapped.
    QStringList texts;
    for (const ListNote& n : r.notes) texts << n.text;
    const QString all = texts.join(u'\n');
    EXPECT_TRUE(all.contains(u"\"C\" is no channel of the device")) << qPrintable(all);
    EXPECT_TRUE(all.contains(u"Preamp -9.0 dB: under \"Channel: C\"")) << qPrintable(all);
    EXPECT_TRUE(all.contains(u"out_left: Preamp -3.0 dB -> gain -3.0 dB")) << qPrintable(all);
    EXPECT_TRUE(r.HasChanges());
}

// What export writes plays what the device draws, and comes back as the same settings; an
// edited line is taken as written.
TEST(ListDetails, exportDrawsWhatTheDeviceDrawsAndComesBackExactly) {
    std::mt19937 rng(21);
    const std::vector<ChannelId> channels = {0, 1, 2, 3, 4};
    for (int i = 0; i < 20; ++i) {
        const ParameterModel preset = RandomPreset(rng, false);
        const QString list = ExportFilterList(preset, channels);
        ParameterModel back = preset;
        const FilterImport r = ImportFilterList(ReadFilterList(list), channels, back);
        for (ChannelId ch : channels) {
            for (int b = 0; b < kBandsPerChannel; ++b)
                ASSERT_EQ(back.band(ch, b), preset.band(ch, b)) << qPrintable(list);
        }
        // Bands alone: the crossovers' list forms are the cookbook's, not the device's.
        ParameterModel bandsOnly = preset;
        for (ChannelParams& c : bandsOnly.channels) c = ChannelParams{};
        ParameterModel again;
        const FilterImport r2 = ImportFilterList(
            ReadFilterList(ExportFilterList(bandsOnly, channels)), channels, again);
        for (ChannelId ch : channels) EXPECT_LT(Largest(r2, bandsOnly, ch), 0.15) << ch;
    }
    const EqBandParams band = [] {
        EqBandParams b;
        b.freqIndex = 136;
        b.qIndex = 9;
        SetActiveGainIndex(b, 100);
        RefreshHalves(b);
        return b;
    }();
    ParameterModel one;
    one.band(kOutLeft, 0) = band;
    QString list = ExportFilterList(one, {kOutLeft});
    list.replace(QStringLiteral("Gain -3.89 dB"), QStringLiteral("Gain -6.00 dB"));
    ASSERT_TRUE(list.contains(u"Gain -6.00 dB")) << qPrintable(list);
    ParameterModel edited;
    ImportFilterList(ReadFilterList(list), {kOutLeft}, edited);
    EXPECT_EQ(edited.band(kOutLeft, 0).peakGainIndex, SnapGain(-6.0));
}

// Import that matches: the bands whose drawn response comes nearest the list's, closer than
// the values snapped one by one, on lists as tools write them.
TEST(ListDetails, importMatchesTheListsResponse) {
    struct Case {
        const char* name;
        const char16_t* list;
        double atMost; // largest difference, dB
    };
    const Case cases[] = {
        {"headphone list",
         u"Preamp: -6.2 dB\nFilter 1: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.70\n"
         u"Filter 2: ON PK Fc 155 Hz Gain -3.1 dB Q 0.93\nFilter 3: ON PK Fc 1266 Hz Gain 2.4 dB Q "
         u"1.61\n"
         u"Filter 4: ON PK Fc 2477 Hz Gain -4.8 dB Q 2.83\nFilter 5: ON PK Fc 3522 Hz Gain 3.9 dB "
         u"Q 4.19\n"
         u"Filter 6: ON HSC Fc 10000 Hz Gain -1.5 dB Q 0.70\n",
         0.6},
        {"room list",
         u"Filter  1: ON  PK       Fc   42.0 Hz  Gain  -9.0 dB  Q  8.000\n"
         u"Filter  2: ON  PK       Fc   68.0 Hz  Gain  -6.0 dB  Q  6.000\n"
         u"Filter  3: ON  PK       Fc  180.0 Hz  Gain  -4.0 dB  Q  4.000\n"
         u"Filter  4: ON  LS 12dB  Fc   60.0 Hz  Gain   3.0 dB\n",
         0.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel snapped;
        const FilterImport bySnap =
            ImportFilterList(ReadFilterList(QStringView(c.list)), {kOutLeft}, snapped);
        ParameterModel matched;
        FilterImport byMatch =
            ImportFilterList(ReadFilterList(QStringView(c.list)), {kOutLeft}, matched);
        MatchListResponse(byMatch, matched);
        const double before = Largest(bySnap, snapped, kOutLeft);
        const double after = Largest(byMatch, matched, kOutLeft);
        EXPECT_LT(after, before);
        EXPECT_LT(after, c.atMost);
        EXPECT_EQ(matched.channels[kOutLeft], snapped.channels[kOutLeft]); // gain, crossovers
    }
}
