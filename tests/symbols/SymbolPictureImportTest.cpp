// Pictures as symbol frames: every frame of an animated GIF, one frame of anything else, and
// the 480000-pixel limit.
#include "symbols/SymbolPictureImport.h"
#include "tests/symbols/SymbolTestSupport.h"

using namespace symboltest;

TEST(SymbolPictureImportTest, PicturesAboveTheLimitKeepTheirAspectAtAbout480000Pixels) {
    struct Row {
        QSize picture, stored;
    };
    const Row rows[] = {
        {{2000, 1000}, {978, 489}}, // h' = (int)sqrt(480000 / 2) = 489, w' = (int)(489 * 2)
        {{1000, 2000}, {489, 979}}, // taller than wide: the aspect is a fraction, not 0
        {{800, 600}, {800, 600}},   // exactly 480000: kept
        {{801, 600}, {799, 599}},
        {{100000, 5}, {80000, 4}},
        {{1, 1000000}, {1, 692820}}, // never a side of 0
        {{1, 1}, {1, 1}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SymbolPictureImport::storedSize(row.picture), row.stored) << row.picture.width();
}

TEST(SymbolPictureImportTest, GifsGiveEveryFrameOtherPicturesOne) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    writeAnimatedGif(base + "eight.gif", 8);
    writeAnimatedGif(base + "still.GIF", 1);
    frame(4, 30, 20).save(QString::fromStdString(base + "plain.png"));
    frame(2, 2000, 1000).save(QString::fromStdString(base + "large.png"));
    QImage opaque(6, 4, QImage::Format_RGB888);
    opaque.fill(QColor(10, 20, 30));
    opaque.save(QString::fromStdString(base + "opaque.bmp"));
    writeAll(base + "broken.png", QByteArray("\x89PNG\r\n\x1a\n not really", 20));

    const std::vector<QImage> eight = SymbolPictureImport::load(base + "eight.gif");
    ASSERT_EQ(eight.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(eight[std::size_t(i)].size(), QSize(24, 16));
        // makeImage's palette entry i: red i * 13 + 1, green 255 - i, blue i * 7 + 3.
        EXPECT_EQ(eight[std::size_t(i)].pixel(5, 5), qRgba(i * 13 + 1, 255 - i, i * 7 + 3, 255));
    }
    EXPECT_EQ(SymbolPictureImport::load(base + "still.GIF").size(), 1u);
    const std::vector<QImage> plain = SymbolPictureImport::load(base + "plain.png");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0], frame(4, 30, 20));
    const std::vector<QImage> large = SymbolPictureImport::load(base + "large.png");
    ASSERT_EQ(large.size(), 1u);
    EXPECT_EQ(large[0].size(), QSize(978, 489));
    const std::vector<QImage> bmp = SymbolPictureImport::load(base + "opaque.bmp");
    ASSERT_EQ(bmp.size(), 1u);
    EXPECT_EQ(bmp[0].format(), QImage::Format_ARGB32);
    EXPECT_EQ(bmp[0].pixel(3, 2), qRgba(10, 20, 30, 255));
    EXPECT_TRUE(SymbolPictureImport::load(base + "broken.png").empty());
    EXPECT_TRUE(SymbolPictureImport::load(base + "missing.png").empty());
}
