// ColourHistogram: one weight per colour, whatever the number of colours.
#include "gif/ColourHistogram.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>

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

} // namespace
