// LiqQuantizer: palettes from weighted colours, exact transparency, pixels left to what is
// under them, and a twin that remaps on another thread to the same indices.
#include "gif/ColourHistogram.h"
#include "gif/LiqQuantizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace {

using Rgba = std::vector<std::uint8_t>;

// A width x height RGBA picture from pixel(x, y) -> 0xRRGGBB, opaque unless keep(x, y).
template <typename F, typename K> Rgba picture(int width, int height, F pixel, K keep) {
    Rgba out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixel(x, y);
            out.insert(out.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c),
                                   std::uint8_t(keep(x, y) ? 0 : 255)});
        }
    return out;
}

template <typename F> Rgba opaque(int width, int height, F pixel) {
    return picture(width, height, pixel, [](int, int) { return false; });
}

std::uint32_t rgbOf(const RGBQUAD& c) {
    return (std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
}

// A gradient with more colours than a palette holds.
std::uint32_t gradient(int x, int y) {
    return (std::uint32_t(x * 4) << 16) | (std::uint32_t(y * 4) << 8) | std::uint32_t(x + y);
}

std::unique_ptr<LiqQuantizer> quantized(const Rgba& rgba, bool transparent) {
    ColourHistogram colours;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i + 3] != 0)
            colours.add((std::uint32_t(rgba[i]) << 16) | (rgba[i + 1] << 8) | rgba[i + 2], 1);
    auto quantizer = std::make_unique<LiqQuantizer>(LiqQuantizer::Settings{});
    EXPECT_TRUE(quantizer->add(colours));
    if (transparent)
        quantizer->reserveTransparent();
    EXPECT_TRUE(quantizer->quantize());
    return quantizer;
}

TEST(LiqQuantizerTest, FewColoursStayExactAndTransparencyIsExact) {
    // Five colours and a hole: every opaque pixel keeps its colour, the hole gets the
    // transparent entry and no opaque pixel does.
    const std::uint32_t colours[] = {0xFF0000, 0x00C000, 0x0000FF, 0xFFFFFF, 0x202020};
    const Rgba rgba = picture(
        10, 6, [&](int x, int y) { return colours[(x + y) % 5]; },
        [](int x, int y) { return x >= 4 && x < 7 && y >= 2 && y < 4; });
    const auto quantizer = quantized(rgba, true);
    ASSERT_GE(quantizer->transparentIndex(), 0);
    EXPECT_LE(quantizer->palette().size(), 8u);
    std::vector<std::uint8_t> indices(60, 0xEE);
    ASSERT_TRUE(quantizer->remap(rgba.data(), 10, 6, 40, indices.data(), 10));
    for (int i = 0; i < 60; ++i) {
        const bool hole = rgba[std::size_t(i) * 4 + 3] == 0;
        if (hole) {
            EXPECT_EQ(indices[std::size_t(i)], quantizer->transparentIndex()) << i;
            continue;
        }
        ASSERT_NE(indices[std::size_t(i)], quantizer->transparentIndex()) << i;
        EXPECT_EQ(rgbOf(quantizer->palette()[indices[std::size_t(i)]]),
                  colours[(i % 10 + i / 10) % 5])
            << i;
    }

    // Without a transparent entry a hole cannot be written.
    const auto noHoles = quantized(rgba, false);
    EXPECT_EQ(noHoles->transparentIndex(), -1);
    EXPECT_FALSE(noHoles->remap(rgba.data(), 10, 6, 40, indices.data(), 10));
}

TEST(LiqQuantizerTest, PixelsThatTheBackgroundShowsBecomeTransparent) {
    // The left half of the background equals the picture, the right half is far from it:
    // the left half stays as the viewer shows it, the right half is painted.
    const int w = 32, h = 16;
    const Rgba rgba = opaque(w, h, gradient);
    const Rgba under =
        opaque(w, h, [](int x, int y) { return x < 16 ? gradient(x, y) : 0xFF00FFu; });
    const auto quantizer = quantized(rgba, true);
    std::vector<std::uint8_t> indices(std::size_t(w * h));
    ASSERT_TRUE(quantizer->remap(rgba.data(), w, h, w * 4, indices.data(), w, under.data(), w * 4));
    int keptLeft = 0, keptRight = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (indices[std::size_t(y * w + x)] == quantizer->transparentIndex())
                ++(x < 16 ? keptLeft : keptRight);
    EXPECT_GT(keptLeft, 16 * h * 9 / 10);
    EXPECT_EQ(keptRight, 0);
}

TEST(LiqQuantizerTest, TwinHasThePaletteAndRemapsToTheSameIndices) {
    const int w = 64, h = 48;
    const Rgba rgba = opaque(w, h, gradient);
    const auto quantizer = quantized(rgba, true);
    EXPECT_EQ(quantizer->palette().size(), 256u); // more colours than fit: a full palette
    EXPECT_GE(quantizer->quality(), 0);
    const std::unique_ptr<LiqQuantizer> twin = quantizer->twin();
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->transparentIndex(), quantizer->transparentIndex());
    ASSERT_EQ(twin->palette().size(), quantizer->palette().size());
    for (std::size_t i = 0; i < twin->palette().size(); ++i)
        EXPECT_EQ(rgbOf(twin->palette()[i]), rgbOf(quantizer->palette()[i])) << i;

    std::vector<std::uint8_t> mine(std::size_t(w * h)), theirs(std::size_t(w * h));
    ASSERT_TRUE(quantizer->remap(rgba.data(), w, h, w * 4, mine.data(), w));
    ASSERT_TRUE(twin->remap(rgba.data(), w, h, w * 4, theirs.data(), w));
    EXPECT_EQ(mine, theirs);
    // Dithering mixes several entries over the gradient.
    EXPECT_GT(std::set<std::uint8_t>(mine.begin(), mine.end()).size(), 100u);
}

} // namespace
