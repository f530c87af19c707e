#include "gif/COctreeQuantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Quad = COctreeQuantizer::RGBQuad;
using Rgb = std::tuple<int, int, int>;

// A device-independent bitmap: 40-byte header, palette, bottom-up rows padded to 4 bytes. The
// header's colours-used field says palette.size() unless coloursUsed is given.
std::vector<std::uint8_t> makeBitmap(int width, int height, int bits,
                                     const std::vector<Quad>& palette,
                                     const std::vector<std::vector<std::uint8_t>>& rows,
                                     int coloursUsed = -1) {
    const int stride = ((bits * width + 31) / 32) * 4;
    std::vector<std::uint8_t> dib(
        40 + palette.size() * 4 + static_cast<std::size_t>(stride * height), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            dib[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(bits);
    put32(32, static_cast<std::uint32_t>(coloursUsed < 0 ? static_cast<int>(palette.size())
                                                         : coloursUsed));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        dib[40 + i * 4] = palette[i].blue;
        dib[41 + i * 4] = palette[i].green;
        dib[42 + i * 4] = palette[i].red;
        dib[43 + i * 4] = palette[i].reserved;
    }
    const std::size_t start = 40 + palette.size() * 4;
    for (int row = 0; row < height; ++row)
        std::copy(rows[static_cast<std::size_t>(row)].begin(),
                  rows[static_cast<std::size_t>(row)].end(),
                  dib.begin() +
                      static_cast<std::ptrdiff_t>(start + static_cast<std::size_t>(row * stride)));
    return dib;
}

std::vector<Quad> quantize(const QImage& picture, std::uint32_t colours = 256) {
    COctreeQuantizer quantizer(colours, 7);
    EXPECT_TRUE(quantizer.BuildFromImage(picture));
    std::vector<Quad> palette(std::max<std::uint32_t>(colours, 16), Quad{0, 0, 0, 0});
    quantizer.FillPalette(palette.data());
    return palette;
}

int usedEntries(const std::vector<Quad>& palette) {
    int used = 0;
    for (const Quad& q : palette)
        used += (q.red | q.green | q.blue | q.reserved) ? 1 : 0;
    return used;
}

TEST(COctreeQuantizerTest, KeepsEveryColourOfASmallPicture) {
    // 200 colours that differ in their upper seven bits are kept exactly.
    QImage picture(20, 10, QImage::Format_RGB32);
    std::set<Rgb> expected;
    for (int i = 0; i < 200; ++i) {
        const int r = (i * 2) & 0xFE, g = (255 - i) & 0xFE, b = (i * 6) & 0xFE;
        picture.setPixel(i % 20, i / 20, qRgb(r, g, b));
        expected.insert({r, g, b});
    }
    const std::vector<Quad> palette = quantize(picture);
    std::set<Rgb> got;
    for (int i = 0; i < 200; ++i)
        got.insert({palette[i].red, palette[i].green, palette[i].blue});
    EXPECT_EQ(got, expected);
    EXPECT_EQ(usedEntries(palette), 200);

    // Colours that differ only in the lowest bit share a leaf: the pixel-weighted average.
    QImage pair(4, 1, QImage::Format_RGB32);
    pair.setPixel(0, 0, qRgb(10, 20, 30));
    for (int x = 1; x < 4; ++x)
        pair.setPixel(x, 0, qRgb(11, 21, 31));
    const std::vector<Quad> shared = quantize(pair);
    EXPECT_EQ(shared[0].red, 10); // (10 + 3 x 11) / 4 = 10.75 truncated
    EXPECT_EQ(shared[0].green, 20);
    EXPECT_EQ(shared[0].blue, 30);
    EXPECT_EQ(usedEntries(shared), 1);
}

TEST(COctreeQuantizerTest, SingleColourGivesOneEntryAndZeroesElsewhere) {
    QImage picture(33, 17, QImage::Format_RGB32);
    picture.fill(qRgb(200, 100, 50));
    const std::vector<Quad> palette = quantize(picture);
    EXPECT_EQ(palette[0].red, 200);
    EXPECT_EQ(palette[0].green, 100);
    EXPECT_EQ(palette[0].blue, 50);
    EXPECT_EQ(usedEntries(palette), 1);
}

TEST(COctreeQuantizerTest, GradientIsReducedToAtMost256Averages) {
    QImage picture(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, qRgb(x, y * 4, 77));
    COctreeQuantizer quantizer(256, 7);
    ASSERT_TRUE(quantizer.BuildFromImage(picture));
    EXPECT_LE(quantizer.leafCount(), 256u);
    EXPECT_GT(quantizer.leafCount(), 64u);
    std::vector<Quad> palette(256, Quad{0, 0, 0, 0});
    quantizer.FillPalette(palette.data());
    for (std::uint32_t i = 0; i < quantizer.leafCount(); ++i)
        EXPECT_EQ(palette[i].blue, 77) << i; // averages of pixels that all have blue 77
}

TEST(COctreeQuantizerTest, FewColoursRequestedMergesNeighbouringLeavesByPixelCount) {
    // Sixteen colours in sixteen leaves; 8 requested: entries 0-1, 2-3, ... merge pairwise.
    COctreeQuantizer quantizer(8, 7);
    QImage picture(16, 4, QImage::Format_RGB32);
    std::vector<Rgb> colours;
    for (int i = 0; i < 16; ++i)
        colours.push_back({(i & 1) ? 0xC0 : 0x40, (i & 2) ? 0xC0 : 0x40,
                           (i & 12) == 0   ? 0x10
                           : (i & 12) == 4 ? 0x50
                           : (i & 12) == 8 ? 0x90
                                           : 0xD0});
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y) // colour x covers x + 1 pixels at most... vary the weights
            picture.setPixel(x, y,
                             y <= (x % 4)
                                 ? qRgb(std::get<0>(colours[x]), std::get<1>(colours[x]),
                                        std::get<2>(colours[x]))
                                 : qRgb(std::get<0>(colours[x ^ 1]), std::get<1>(colours[x ^ 1]),
                                        std::get<2>(colours[x ^ 1])));
    ASSERT_TRUE(quantizer.BuildFromImage(picture));
    ASSERT_EQ(quantizer.leafCount(), 16u);
    std::vector<Quad> palette(16, Quad{0, 0, 0, 0});
    quantizer.FillPalette(palette.data());

    // The same tree read with 16 outputs gives the leaves in tree order; merge them by hand.
    COctreeQuantizer full(16, 7);
    full.BuildFromImage(picture);
    std::vector<Quad> leaves(16, Quad{0, 0, 0, 0});
    full.FillPalette(leaves.data());
    std::map<Rgb, int> counts;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = picture.pixel(x, y);
            ++counts[{qRed(p), qGreen(p), qBlue(p)}];
        }
    for (int j = 0; j < 8; ++j) {
        const Quad& a = leaves[2 * j];
        const Quad& b = leaves[2 * j + 1];
        const int ca = counts[{a.red, a.green, a.blue}];
        const int cb = counts[{b.red, b.green, b.blue}];
        EXPECT_EQ(palette[j].red, (a.red * ca + b.red * cb) / (ca + cb)) << j;
        EXPECT_EQ(palette[j].blue, (a.blue * ca + b.blue * cb) / (ca + cb)) << j;
    }
    EXPECT_EQ(usedEntries(palette), 8);
}

TEST(COctreeQuantizerTest, ReadsPaletteBitmapsAndRefusesOtherDepths) {
    const std::vector<Quad> colours{{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {9, 9, 9, 0}};
    struct Row {
        int bits;
        std::vector<std::vector<std::uint8_t>> rows; // bottom row first
        std::set<Rgb> expected;
    };
    const std::vector<Row> rows{
        {8, {{0, 1, 2, 0}}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}},
        {4, {{0x21, 0x00}}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}}, // high nibble first
        {1, {{0b0100'0000}}, {{255, 0, 0}, {0, 255, 0}}},             // bit 7 is column 0
    };
    for (const Row& row : rows) {
        const std::vector<std::uint8_t> dib = makeBitmap(4, 1, row.bits, colours, row.rows);
        COctreeQuantizer quantizer(256, 7);
        ASSERT_TRUE(quantizer.BuildFromBitmap(dib.data(), dib.size())) << row.bits;
        std::vector<Quad> palette(256, Quad{0, 0, 0, 0});
        quantizer.FillPalette(palette.data());
        std::set<Rgb> got;
        for (std::uint32_t i = 0; i < quantizer.leafCount(); ++i)
            got.insert({palette[i].red, palette[i].green, palette[i].blue});
        EXPECT_EQ(got, row.expected) << row.bits << " bits";
    }

    for (int bits : {16, 32, 2, 0}) {
        const std::vector<std::uint8_t> dib = makeBitmap(2, 2, bits, {}, {{}, {}});
        COctreeQuantizer quantizer(256, 7);
        EXPECT_FALSE(quantizer.BuildFromBitmap(dib.data(), dib.size())) << bits;
        EXPECT_EQ(quantizer.leafCount(), 0u);
    }
    // Colours used 0 means a full table of 2^bits entries; every entry counts, none is black.
    for (const Row& row : rows) {
        std::vector<Quad> full(std::size_t{1} << row.bits, Quad{77, 66, 55, 0});
        std::copy(colours.begin(), colours.begin() + std::min<std::size_t>(3, full.size()),
                  full.begin());
        if (row.bits == 8)
            full[200] = Quad{1, 2, 250, 0}; // an index far past any small table
        std::vector<std::vector<std::uint8_t>> pixels = row.rows;
        if (row.bits == 8)
            pixels[0][3] = 200;
        const std::vector<std::uint8_t> dib = makeBitmap(4, 1, row.bits, full, pixels, 0);
        COctreeQuantizer quantizer(256, 7);
        ASSERT_TRUE(quantizer.BuildFromBitmap(dib.data(), dib.size())) << row.bits;
        std::vector<Quad> palette(256, Quad{0, 0, 0, 0});
        quantizer.FillPalette(palette.data());
        std::set<Rgb> got;
        for (std::uint32_t i = 0; i < quantizer.leafCount(); ++i)
            got.insert({palette[i].red, palette[i].green, palette[i].blue});
        std::set<Rgb> want = row.expected;
        if (row.bits == 8)
            want = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {250, 2, 1}};
        EXPECT_EQ(got, want) << row.bits << " bits, colours used 0";
    }
    // A full table that the bitmap does not hold is refused.
    std::vector<std::uint8_t> noTable = makeBitmap(4, 1, 8, colours, {{0, 1, 2, 0}}, 0);
    EXPECT_FALSE(COctreeQuantizer(256, 7).BuildFromBitmap(noTable.data(), noTable.size()));

    // A bitmap shorter than its header claims is refused too.
    std::vector<std::uint8_t> cut = makeBitmap(
        8, 8, 24, {}, std::vector<std::vector<std::uint8_t>>(8, std::vector<std::uint8_t>(24, 7)));
    cut.resize(cut.size() - 1);
    COctreeQuantizer quantizer(256, 7);
    EXPECT_FALSE(quantizer.BuildFromBitmap(cut.data(), cut.size()));
}

TEST(COctreeQuantizerTest, TwentyFourBitBitmapAndImageGiveTheSamePalette) {
    QImage picture(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            picture.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * y) & 255, (y * 29) & 255));
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 22; y >= 0; --y) { // bottom row first
        std::vector<std::uint8_t> row;
        for (int x = 0; x < 37; ++x) {
            const QRgb p = picture.pixel(x, y);
            row.insert(row.end(),
                       {static_cast<std::uint8_t>(qBlue(p)), static_cast<std::uint8_t>(qGreen(p)),
                        static_cast<std::uint8_t>(qRed(p))});
        }
        rows.push_back(row);
    }
    const std::vector<std::uint8_t> dib = makeBitmap(37, 23, 24, {}, rows);
    COctreeQuantizer fromBitmap(64, 7);
    ASSERT_TRUE(fromBitmap.BuildFromBitmap(dib.data(), dib.size()));
    std::vector<Quad> a(64, Quad{0, 0, 0, 0});
    fromBitmap.FillPalette(a.data());
    const std::vector<Quad> b = quantize(picture, 64);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(a[i].red, b[i].red) << i;
        EXPECT_EQ(a[i].green, b[i].green) << i;
        EXPECT_EQ(a[i].blue, b[i].blue) << i;
    }
}

} // namespace
