#include "text/LogFontConverter.h"

#include "tests/text/TextTestSupport.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

// Heights as Windows reads them: negative = em height, positive = cell height (ascent +
// descent), 0 = default cell height; absurd heights stay within the em limit.
TEST(LogFontConverterTest, HeightSignRules) {
    const struct {
        std::int32_t height;
        double cell; // expected ascent + descent, or 0 to check the em size instead
        int em;
    } rows[] = {
        {-40, 0, 40}, {-1, 0, 1}, {40, 40, 0},        {48, 48, 0},
        {96, 96, 0},  {0, 16, 0}, {INT_MIN, 0, 2048}, {INT_MAX, 0, 2048},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.height);
        const QFont font = LogFontConverter::toQFont(testFont(row.height));
        if (row.em) {
            EXPECT_EQ(font.pixelSize(), row.em);
        } else {
            const QFontMetricsF metrics(font);
            EXPECT_NEAR(metrics.ascent() + metrics.descent(), row.cell, 1.0);
        }
    }
    // A cell height asks for a smaller em than the same character height.
    EXPECT_LT(LogFontConverter::toQFont(testFont(48)).pixelSize(),
              LogFontConverter::toQFont(testFont(-48)).pixelSize());
}

TEST(LogFontConverterTest, StyleFlagsAndRoundTrip) {
    LogFontA record = testFont(-36, 700, "DejaVu Serif");
    record.italic = 1;
    record.underline = 1;
    record.strikeOut = 1;
    const QFont font = LogFontConverter::toQFont(record);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(QFontInfo(font).family(), "DejaVu Serif");

    const LogFontA back = LogFontConverter::fromQFont(font);
    EXPECT_EQ(back.height, -36);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 1);
    EXPECT_EQ(back.strikeOut, 1);
    EXPECT_STREQ(back.faceName, "DejaVu Serif");

    // Weight 0 ("don't care") draws as normal; flags 0 are off.
    const QFont plain = LogFontConverter::toQFont(testFont(-20, 0));
    EXPECT_EQ(plain.weight(), QFont::Normal);
    EXPECT_FALSE(plain.italic() || plain.underline() || plain.strikeOut());
}

TEST(LogFontConverterTest, PointSizesCountAtNinetySixDpi) {
    QFont font(kTestFace);
    font.setPointSize(36);
    EXPECT_EQ(LogFontConverter::fromQFont(font).height, -48);
}

// The face name field holds 31 bytes and a NUL; a long name is cut between characters.
TEST(LogFontConverterTest, LongFaceNameIsCutBetweenCharacters) {
    QFont font;
    font.setFamily(QString(30, 'a') + QString::fromUtf8("\xC3\xA9")); // 30 + 2 bytes in UTF-8
    font.setPixelSize(20);
    const LogFontA record = LogFontConverter::fromQFont(font);
    EXPECT_EQ(std::strlen(record.faceName), 30u);
    EXPECT_EQ(LogFontConverter::faceName(record), QString(30, 'a'));

    font.setFamily(QString(29, 'a') + QString::fromUtf8("\xC3\xA9")); // 31 bytes fit
    EXPECT_EQ(LogFontConverter::faceName(LogFontConverter::fromQFont(font)), font.family());
}

TEST(LogFontConverterTest, MissingFaceFallsBackToAnInstalledFont) {
    const QFont font = LogFontConverter::toQFont(testFont(-30, 400, "No Such Face Anywhere"));
    EXPECT_FALSE(QFontInfo(font).family().isEmpty());
    EXPECT_GT(QFontMetricsF(font).horizontalAdvance("Text"), 20);
}

TEST(LogFontConverterTest, RecordTextDecoding) {
    const struct {
        std::string bytes;
        QString text;
    } rows[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9", QString::fromUtf8("caf\xC3\xA9")}, // valid UTF-8
        {"caf\xE9", QString::fromLatin1("caf\xE9")},       // an 8-bit code page text
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LogFontConverter::decodeText(row.bytes, 260), row.text);
    EXPECT_EQ(LogFontConverter::decodeText(std::string(300, 'x'), 260).size(), 260);
    // A cut never leaves half of a surrogate pair.
    const std::string emoji = "ab\xF0\x9F\x98\x80";
    EXPECT_EQ(LogFontConverter::decodeText(emoji, 3), "ab");
}
