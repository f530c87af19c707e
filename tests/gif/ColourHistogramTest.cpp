// ColourHistogram: one weight per colour, whatever the number of colours.
#include "gif/ColourHistogram.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

namespace {

TEST(ColourHistogramTest, WeightsAddUpSaturateAndSurviveGrowth) {
    ColourHistogram colours;
    for (std::uint32_t rgb = 0; rgb < 5000; ++rgb) // past the first table size, several times
        colours.add(rgb * 3251, rgb % 7 + 1);
    colours.add(0x123456, 10);
    colours.add(0xFF123456, 5); // alpha is not part of the colour
    colours.add(0xFFFFFF, 0xFFFFFFF0u);
    colours.add(0xFFFFFF, 0x100);
    std::map<std::uint32_t, std::uint32_t> weights;
    for (const ColourHistogram::Entry& entry : colours.entries())
        EXPECT_TRUE(weights.emplace(entry.rgb, entry.weight).second) << entry.rgb;
    EXPECT_EQ(weights.size(), colours.size());
    EXPECT_EQ(weights[0x123456], 15u);
    EXPECT_EQ(weights[0xFFFFFF], 0xFFFFFFFFu);
    EXPECT_EQ(weights[(4999 * 3251) & 0xFFFFFF], 4999 % 7 + 1u);
    EXPECT_EQ(colours.size(), 5002u);
}

TEST(ColourHistogramTest, ManyColoursAreMergedToTheWeightedMeanOfTheirCell) {
    // Cells one bit coarser: 0x10/0x11 share one, 0x12 is the next. Two bits: 0x10..0x13.
    struct Row {
        const char* name;
        std::vector<ColourHistogram::Entry> in;
        std::size_t maxColours;
        std::map<std::uint32_t, std::uint32_t> out; // colour -> weight
    };
    const std::vector<Row> rows = {
        {"few enough: as they are",
         {{0x101010, 1}, {0x111111, 3}},
         2,
         {{0x101010, 1}, {0x111111, 3}}},
        {"one bit: the weighted mean, rounded",
         {{0x101010, 1}, {0x111111, 3}, {0x121212, 5}},
         2,
         {{0x111111, 4}, {0x121212, 5}}}, // (0x10 + 3 * 0x11) / 4 = 0x10.c -> 0x11
        {"channels apart: each its own mean",
         {{0x10FE20, 3}, {0x11FF21, 1}, {0x000000, 2}},
         2,
         {{0x10FE20, 4}, {0x000000, 2}}}, // 0x10.4 -> 0x10, 0xFE.4 -> 0xFE, 0x20.4 -> 0x20
        {"two bits when one is not enough",
         {{0x101010, 2}, {0x121212, 2}, {0x131313, 4}},
         1,
         {{0x121212, 8}}}, // (2 * 0x10 + 2 * 0x12 + 4 * 0x13) / 8 = 0x12
        {"weights saturate",
         {{0x202020, 0xFFFFFFF0u}, {0x212121, 0x100}},
         1,
         {{0x202020, 0xFFFFFFFFu}}}, // the heavy colour keeps the mean
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ColourHistogram colours;
        for (const ColourHistogram::Entry& entry : row.in)
            colours.add(entry.rgb, entry.weight);
        std::map<std::uint32_t, std::uint32_t> out;
        for (const ColourHistogram::Entry& entry : colours.entriesWithin(row.maxColours))
            EXPECT_TRUE(out.emplace(entry.rgb, entry.weight).second) << entry.rgb;
        EXPECT_EQ(out, row.out);
    }
}

} // namespace
