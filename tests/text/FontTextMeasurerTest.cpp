#include "text/FontTextMeasurer.h"

#include "tests/text/TextTestSupport.h"

#include <gtest/gtest.h>

TEST(FontTextMeasurerTest, EmptyTextMeasuresZero) {
    const FontTextMeasurer measurer;
    for (std::int32_t height : {-40, 0, 48})
        EXPECT_EQ(measurer.measure(testFont(height), ""), QSize(0, 0));
}

// The same font and text always measure the same, also after other fonts were used.
TEST(FontTextMeasurerTest, MeasuringIsStable) {
    const FontTextMeasurer measurer;
    const LogFontA font = testFont(48);
    const QSize first = measurer.measure(font, "Text");
    measurer.measure(testFont(-13, 700, "DejaVu Sans"), "other");
    EXPECT_EQ(measurer.measure(font, "Text"), first);
    EXPECT_EQ(FontTextMeasurer().measure(font, "Text"), first);
}

// The box holds the line with 1/6 em of room at each end and one line spacing per line.
TEST(FontTextMeasurerTest, BoxFollowsTheTextAndFont) {
    const FontTextMeasurer measurer;
    const QSize one = measurer.measure(testFont(48), "Text");
    EXPECT_GT(one.width(), 60);
    EXPECT_GE(one.height(), 48);
    EXPECT_LE(one.height(), 60);
    EXPECT_GT(measurer.measure(testFont(48), "Texts").width(), one.width());
    EXPECT_GT(measurer.measure(testFont(96), "Text").width(), 2 * one.width() - 3);
    EXPECT_GT(measurer.measure(testFont(48, 700), "Text").width(), one.width());
    // Line breaks of any convention start a new line.
    for (const char* twoLines : {"Text\nText", "Text\r\nText", "Text\rText"}) {
        const QSize two = measurer.measure(testFont(48), twoLines);
        EXPECT_EQ(two.width(), one.width());
        EXPECT_NEAR(two.height(), 2 * one.height(), 1);
    }
    // Spaces alone are a text with a width.
    EXPECT_GT(measurer.measure(testFont(48), "   ").width(), 0);
}
