#include <gtest/gtest.h>

#include "model/value_scales.h"
#include "response/eq_response.h"
#include "response/graph_drag.h"
#include "response/graph_geometry.h"

using namespace zx;

TEST(GraphDrag, pointerPositionsMapToTableIndexes) {
    struct Case {
        bool column;
        int at;
        int index;
    };
    const Case cases[] = {
        {true, 40, 0},    {true, 121, 0},   {true, 555, 136}, {true, 886, 239},
        {true, 887, 240}, {true, 920, 240}, {false, 86, 121}, {false, 32, 180},
        {false, 198, 0},  {false, 18, 180}, {false, 225, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.column ? "column " : "row ") << c.at);
        EXPECT_EQ(c.column ? ColumnToFrequencyIndex(c.at) : RowToGainIndex(c.at), c.index);
    }
}

TEST(GraphDrag, aMarkerThatIsNotMovedKeepsItsFrequency) {
    for (int i = 0; i <= kMaxFrequencyIndex; ++i)
        EXPECT_EQ(ColumnToFrequencyIndex(kGraph.FrequencyToColumn(FrequencyAt(i))), i) << i;
}

TEST(GraphDrag, pressesHitTheFirstMarkerWithinSevenPixelsBothWays) {
    BandMarkers markers = InitialBandMarkers();
    markers[BandId(2, 2)] = {300, 100};
    markers[BandId(2, 5)] = {305, 100}; // overlaps band 3
    markers[BandId(1, 0)] = {300, 100}; // another channel's band is never hit
    struct Case {
        int x, y;
        std::optional<EqBandId> band;
    };
    const Case cases[] = {
        {300, 100, BandId(2, 2)}, {307, 107, BandId(2, 2)}, {293, 93, BandId(2, 2)},
        {308, 100, BandId(2, 5)}, {312, 100, BandId(2, 5)}, {313, 100, std::nullopt},
        {300, 108, std::nullopt}, {292, 100, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(HitBand(markers, 2, c.x, c.y), c.band);
    }
}

TEST(GraphDrag, eachAxisFollowsThePointerOnlyInsideTheArea) {
    EqBandParams band; // 19.7 Hz, 0.0 dB, PEQ
    const BandMarker start = PlaceMarker(band);
    struct Case {
        int x, y;
        BandMarker marker;
        int freq, gain;
    };
    const Case cases[] = {
        {555, 86, {555, 86}, 136, 121},       {930, 86, {start.x, 86}, 0, 121},
        {555, 20, {555, start.y}, 136, 120}, // row outside: gain stays
        {555, 230, {555, start.y}, 136, 120}, {96, 199, {start.x, start.y}, 0, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const DragStep s = DragMove(band, start, c.x, c.y);
        EXPECT_EQ(s.marker, c.marker);
        EXPECT_EQ(s.freqIndex, c.freq);
        EXPECT_EQ(s.gainIndex, c.gain);
    }
}

TEST(GraphDrag, movingAlongTheBottomEdgeDoesNotCreepTheGain) {
    EqBandParams band;
    band.type = 1; // a shelf drags its shelf gain
    for (int i = 0; i < 50; ++i) {
        const DragStep s = DragMove(band, PlaceMarker(band), 300 + i, 240);
        band.freqIndex = static_cast<std::uint8_t>(s.freqIndex);
        SetActiveGainIndex(band, static_cast<std::uint16_t>(s.gainIndex));
    }
    EXPECT_EQ(band.shelfGainIndex, 120);
    EXPECT_EQ(band.peakGainIndex, 120);
}

TEST(GraphDrag, dragTextsUseTheShortestNumber) {
    EXPECT_EQ(ShortestNumberText(FrequencyAt(136)), "1000");
    EXPECT_EQ(ShortestNumberText(FrequencyAt(0)), "19.7");
    EXPECT_EQ(ShortestNumberText(FrequencyAt(240)), "20100");
    EXPECT_EQ(ShortestNumberText(EqGainAt(120)), "0");
    EXPECT_EQ(ShortestNumberText(EqGainAt(180)), "12");
    EXPECT_EQ(ShortestNumberText(EqGainAt(104)), "-3.2");
}
