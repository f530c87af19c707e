#include "gif/ErrorDiffusion.h"

#include "gif/NearestColour.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(NearestColourTest, AgreesWithAFullSearchOnRandomPalettes) {
    std::mt19937 random(7);
    for (int size : {1, 2, 17, 256}) {
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < size; ++i)
            palette.push_back(random() & 0xFFFFFF);
        palette.push_back(palette.front()); // a duplicate: the lower index must win
        NearestColour nearest(palette.data(), static_cast<int>(palette.size()));
        for (int k = 0; k < 5000; ++k) {
            const int r = static_cast<int>(random() & 255), g = static_cast<int>(random() & 255),
                      b = static_cast<int>(random() & 255);
            int best = 0, bestDistance = 1 << 30;
            for (std::size_t i = 0; i < palette.size(); ++i) {
                const int dr = r - static_cast<int>(palette[i] >> 16 & 255);
                const int dg = g - static_cast<int>(palette[i] >> 8 & 255);
                const int db = b - static_cast<int>(palette[i] & 255);
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(i);
                }
            }
            ASSERT_EQ(nearest.find(r, g, b), best) << size << ": " << r << "," << g << "," << b;
        }
    }
}

TEST(ErrorDiffusionTest, PaletteColoursMapExactlyAndGreysDitherToTheirMean) {
    const std::uint32_t palette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};
    QImage exact(4, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0)};
    for (int x = 0; x < 4; ++x) {
        exact.setPixel(x, 0, colours[x]);
        exact.setPixel(x, 1, colours[3 - x]);
    }
    std::vector<std::uint8_t> out(4 * 2, 99);
    ErrorDiffusion::reduce(exact, palette, 4, out.data(), 4);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0, 1, 2, 3, 3, 2, 1, 0}));

    // A 25% grey field reduced to black and white keeps its brightness on average.
    QImage grey(64, 64, QImage::Format_RGB32);
    grey.fill(qRgb(64, 64, 64));
    std::vector<std::uint8_t> dots(64 * 64, 0);
    ErrorDiffusion::reduce(grey, palette, 2, dots.data(), 64);
    int white = 0;
    for (std::uint8_t index : dots)
        white += index;
    EXPECT_NEAR(white / 4096.0, 64 / 255.0, 0.01);
}

} // namespace
