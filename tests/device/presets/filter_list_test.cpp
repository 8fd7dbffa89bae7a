#include <gtest/gtest.h>

#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "presets/filter_import.h"
#include "presets/filter_list.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace zx;
using Kind = ListNote::Kind;

namespace {

constexpr ChannelId kOutLeft = 2;

struct Imported {
    ParameterModel model;
    FilterImport result;
};

Imported Import(const QString& text, std::vector<ChannelId> channels = {kOutLeft}) {
    Imported out;
    out.result = ImportFilterList(ReadFilterList(text), channels, out.model);
    return out;
}

std::vector<std::pair<int, Kind>> Changes(const FilterImport& r) {
    std::vector<std::pair<int, Kind>> out;
    for (const ListNote& n : r.notes) {
        if (n.kind != Kind::Info) out.emplace_back(n.line, n.kind);
    }
    return out;
}

int BandsInUse(const ParameterModel& m, ChannelId ch) {
    int n = 0;
    for (int b = 0; b < kBandsPerChannel; ++b) n += m.band(ch, b) != DefaultBand(b);
    return n;
}

const char* const kAutoEq = R"(Preamp: -6.2 dB
Filter 1: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.70
Filter 2: ON PK Fc 155 Hz Gain -3.1 dB Q 0.93
Filter 3: ON PK Fc 1266 Hz Gain 2.4 dB Q 1.61
Filter 4: ON PK Fc 2477 Hz Gain -4.8 dB Q 2.83
Filter 5: ON PK Fc 3522 Hz Gain 3.9 dB Q 4.19
Filter 6: ON PK Fc 5474 Hz Gain -2.2 dB Q 3.25
Filter 7: ON PK Fc 6898 Hz Gain 1.7 dB Q 5.29
Filter 8: ON PK Fc 8410 Hz Gain -1.1 dB Q 2.44
Filter 9: ON PK Fc 11421 Hz Gain 2.1 dB Q 1.22
Filter 10: ON HSC Fc 10000 Hz Gain -1.5 dB Q 0.70
)";

const char* const kRew = R"(Filter Settings file

Room EQ V5.20
Dated: Sep 10, 2019 10:44:26 AM

Notes:

Equaliser: Generic
Filter  1: ON  PK       Fc   52.40 Hz  Gain  -7.30 dB  Q  4.700
Filter  2: ON  None
Filter  3: ON  PK       Fc   87.50 Hz  Gain  -4.10 dB  Q  6.020
)";

} // namespace

TEST(FilterList, realWorldListsAreTakenOrReported) {
    struct Case {
        const char* name;
        QString text;
        bool usable;
        int bands;
        std::vector<std::pair<int, Kind>> changes;
    };
    const Case cases[] = {
        {"AutoEQ, ten filters",
         kAutoEq,
         true,
         8,
         {{2, Kind::Changed}, {10, Kind::Dropped}, {11, Kind::Dropped}}},
        {"REW spacing and header",
         kRew,
         true,
         2,
         {{1, Kind::Ignored},
          {3, Kind::Ignored},
          {4, Kind::Ignored},
          {6, Kind::Ignored},
          {8, Kind::Ignored}}},
        {"decimal commas", "Filter 1: ON PK Fc 1000,5 Hz Gain -3,5 dB Q 1,41", true, 1, {}},
        {"bandwidth in octaves", "Filter: ON PK Fc 1000 Hz Gain 3 dB BW Oct 1.0", true, 1, {}},
        {"comments and OFF",
         "# measured 2024\nFilter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\nFilter 2: ON PK Fc 200 Hz "
         "Gain 3 dB Q 1\n",
         true,
         1,
         {}},
        {"unsupported types",
         "Filter 1: ON NO Fc 100 Hz\nFilter 2: ON AP Fc 100 Hz Q 1\nFilter 3: ON BP Fc 1 kHz "
         "Q 2\nFilter 4: ON LS Fc 80 Hz Gain 4 dB",
         true,
         1,
         {{1, Kind::Dropped}, {2, Kind::Dropped}, {3, Kind::Dropped}}},
        {"missing or impossible values",
         "Filter 1: ON PK Fc 100 Hz Q 1\nFilter 2: ON PK Gain 3 dB Q 1\nFilter 3: ON PK Fc 100 "
         "Hz Gain 3 dB Q 0\nFilter 4: ON PK Fc 1e3 Hz Gain 3 dB Q 1",
         false,
         0,
         {{1, Kind::Dropped}, {2, Kind::Dropped}, {3, Kind::Dropped}, {4, Kind::Dropped}}},
        {"gain above the table",
         "Filter 1: ON PK Fc 100 Hz Gain 15 dB Q 1",
         true,
         1,
         {{1, Kind::Limited}}},
        {"crossover Q with no type",
         "Filter 1: ON HPQ Fc 80 Hz Q 2.0",
         true,
         0,
         {{1, Kind::Changed}}},
        {"foreign channel section",
         "Channel: out_left\nFilter: ON PK Fc 100 Hz Gain 3 dB Q 1\nChannel: L\nFilter: ON PK "
         "Fc 200 Hz Gain 3 dB Q 1",
         true,
         1,
         {{3, Kind::Ignored}, {4, Kind::Dropped}}},
        {"CR and CR LF line ends",
         "Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 1\rFilter 2: ON PK Fc 200 Hz Gain 3 dB Q 1\r\n"
         "Filter 3: OFF PK Fc 300 Hz Gain 3 dB Q 1\r\n",
         true,
         2,
         {}},
        {"sections of other channels",
         "Channel: out_sub\nFilter: ON PK Fc 100 Hz Gain 3 dB Q 1\nChannel: all\nFilter: ON PK "
         "Fc 200 Hz Gain 3 dB Q 1",
         true,
         1,
         {{1, Kind::Skipped}}},
        {"empty file", "", false, 0, {}},
        {"prose",
         "Dear user,\nthese are my settings: bass up a bit.\n",
         false,
         0,
         {{1, Kind::Ignored}, {2, Kind::Ignored}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Imported r = Import(c.text);
        EXPECT_EQ(r.result.usable, c.usable);
        EXPECT_EQ(BandsInUse(r.model, kOutLeft), c.bands);
        EXPECT_EQ(Changes(r.result), c.changes);
        // Lines that are no filters are reported, but only a filter changed or dropped counts.
        const bool changed = std::any_of(c.changes.begin(), c.changes.end(), [](auto& n) {
            return n.second != Kind::Skipped && n.second != Kind::Ignored;
        });
        EXPECT_EQ(r.result.HasChanges(), changed);
    }
}

TEST(FilterList, spellingAndSpacingDoNotChangeTheBand) {
    const EqBandParams expected =
        Import("Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.41").model.band(kOutLeft, 0);
    for (const char* text : {"filter 1: on pk fc 1000 hz gain -3.5 db q 1.41",
                             "Filter:ON PEQ Fc1000Hz Gain-3,5dB Q1,41",
                             "  FILTER 1 :  ON   PK   FC 1 kHz  GAIN -3.50 DB   Q 1.410  ",
                             "Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB BW Oct 0.9974"}) {
        EXPECT_EQ(Import(text).model.band(kOutLeft, 0), expected) << text;
    }
    EXPECT_EQ(expected.freqIndex, 136);
}

TEST(FilterList, mappingFollowsTheListTypes) {
    const Imported r = Import("Preamp: -3 dB\nPreamp: -3.5 dB\n"
                              "Filter: ON LS 12dB Fc 100 Hz Gain 4 dB\n"
                              "Filter: ON HS 6dB Fc 8000 Hz Gain -2 dB\n"
                              "Filter: ON HPQ Fc 40 Hz Q 0.5\n"
                              "Filter: ON LP Fc 20000 Hz\n");
    const ParameterModel& m = r.model;
    const ChannelParams& c = m.channels[kOutLeft];
    EXPECT_EQ(c.gainIndex, 55); // -6.5 dB
    EXPECT_EQ(m.band(kOutLeft, 0).type, 1);
    EXPECT_EQ(m.band(kOutLeft, 0).shelfGainIndex, SnapGain(4.0));
    EXPECT_EQ(m.band(kOutLeft, 0).peakGainIndex, 120);
    EXPECT_EQ(m.band(kOutLeft, 1).type, 2);
    EXPECT_EQ(c.hpfType, static_cast<int>(CrossoverType::LinkwitzRiley12));
    EXPECT_EQ(c.hpfFreqIndex, SnapFrequency(40.0));
    // 20 kHz snaps to the last entry, which switches the low-pass off: the one before is used.
    EXPECT_EQ(c.lpfFreqIndex, 239);
    EXPECT_EQ(c.lpfType, 0);
    EXPECT_EQ(Changes(r.result),
              (std::vector<std::pair<int, Kind>>{{3, Kind::Changed}, {6, Kind::Changed}}));
}

TEST(FilterList, otherChannelsAndSettingsAreKept) {
    ParameterModel start;
    start.channels[kOutLeft].mute = 1;
    start.channels[kOutLeft].delaySteps = 300;
    start.band(kOutLeft, 5).peakGainIndex = 150;
    start.band(3, 0).peakGainIndex = 10;
    start.channels[3].hpfFreqIndex = 40;
    ParameterModel m = start;
    ImportFilterList(ReadFilterList(u"Filter: ON PK Fc 100 Hz Gain 3 dB Q 1"), {kOutLeft}, m);
    EXPECT_EQ(m.channels[kOutLeft].mute, 1);
    EXPECT_EQ(m.channels[kOutLeft].delaySteps, 300);
    EXPECT_EQ(m.band(kOutLeft, 5), DefaultBand(5)); // unused bands are flat
    EXPECT_EQ(m.band(3, 0), start.band(3, 0));
    EXPECT_EQ(m.channels[3], start.channels[3]);
}
