// BestGifEncoder's adaptive palette scope: which runs of frames share a palette, seen in the
// images it hands out (a run is a stretch of images with one colour table).
#include "export/BestGifEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

// `count` colours drawn from a seeded generator (the same on every platform).
std::vector<QRgb> colours(std::uint32_t seed, int count) {
    std::mt19937 generator(seed);
    std::vector<QRgb> out;
    for (int i = 0; i < count; ++i)
        out.push_back(QRgb(generator()) | 0xFF000000u);
    return out;
}

// A frame whose pixels take the colours in turn, shifted by `shift` so that every frame of a
// set differs from the one before it.
QImage frameOf(const std::vector<QRgb>& set, int shift) {
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    for (int p = 0; p < kWidth * kHeight; ++p)
        frame.setPixel(p % kWidth, p / kWidth, set[std::size_t(p + shift) % set.size()]);
    return frame;
}

// The runs [first, end) of images that share one colour table, whether each image came with
// a local table, and what a viewer shows after each (images drawn over the ones before).
struct Plan {
    std::vector<std::pair<int, int>> runs;
    std::vector<bool> local;
    std::vector<QImage> shown;
};

Plan encode(const std::vector<QImage>& frames, const BestGifEncoder::Settings& settings) {
    BestGifEncoder encoder(settings);
    Plan plan;
    std::vector<RGBQUAD> previous;
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    screen.fill(Qt::black);
    int index = 0;
    const auto sink = [&](CxImage& picture, bool localTable) {
        const RGBQUAD* table = picture.GetPalette();
        const std::vector<RGBQUAD> palette(table, table + picture.GetNumColors());
        const bool same = palette.size() == previous.size() &&
                          std::equal(palette.begin(), palette.end(), previous.begin(),
                                     [](const RGBQUAD& a, const RGBQUAD& b) {
                                         return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen &&
                                                a.rgbBlue == b.rgbBlue;
                                     });
        if (plan.runs.empty() || !same)
            plan.runs.push_back({index, index});
        ++plan.runs.back().second;
        plan.local.push_back(localTable);
        previous = palette;
        std::int32_t left = 0, top = 0;
        picture.GetOffset(&left, &top);
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x) {
                const std::uint8_t entry = picture.topRow(y)[x];
                if (int(entry) == picture.GetTransIndex())
                    continue;
                const RGBQUAD c = palette[entry];
                screen.setPixel(left + x, top + y, qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue));
            }
        plan.shown.push_back(screen);
        ++index;
        return true;
    };
    for (const QImage& frame : frames)
        EXPECT_TRUE(encoder.add(frame, 8, sink)) << encoder.error();
    EXPECT_TRUE(encoder.finish(sink)) << encoder.error();
    return plan;
}

TEST(BestGifEncoderTest, AutoScopeHalvesOnlyWhereOnePaletteCannotServeTheFrames) {
    // Sets A, B and C of 200 colours each fit a palette alone, not two together; a noise frame
    // of 384 colours fits none. Twelve frames, runs of 3 at the shortest:
    //   0 ........ 6 ........ 12
    //   |  3  |  3  |  3  |  3  |   the halving
    const std::vector<QRgb> a = colours(1, 200), b = colours(2, 200), c = colours(3, 200);
    enum Kind { A, B, C, Noise };
    struct Row {
        const char* name;
        std::vector<Kind> frames;
        std::vector<std::pair<int, int>> runs;
    };
    const std::vector<Row> rows = {
        {"one set: one palette", {A, A, A, A, A, A, A, A, A, A, A, A}, {{0, 12}}},
        {"two sets: a palette for each half",
         {A, A, A, A, A, A, B, B, B, B, B, B},
         {{0, 6}, {6, 12}}},
        {"noise everywhere: the shortest runs",
         {Noise, Noise, Noise, Noise, Noise, Noise, Noise, Noise, Noise, Noise, Noise, Noise},
         {{0, 3}, {3, 6}, {6, 9}, {9, 12}}},
        {"one noise frame: only its half is split",
         {A, A, A, A, A, A, B, B, B, Noise, B, B},
         {{0, 6}, {6, 9}, {9, 12}}},
        {"three sets: every probe is served, the palettes of the longer runs are not",
         {A, A, A, A, A, A, B, B, B, C, C, C},
         {{0, 6}, {6, 9}, {9, 12}}},
    };
    BestGifEncoder::Settings settings;
    settings.minGroup = 3;
    settings.tolerance = 0; // every changed pixel is painted
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<QImage> frames;
        for (std::size_t f = 0; f < row.frames.size(); ++f) {
            const int shift = int(f) * 7;
            switch (row.frames[f]) {
            case A:
                frames.push_back(frameOf(a, shift));
                break;
            case B:
                frames.push_back(frameOf(b, shift));
                break;
            case C:
                frames.push_back(frameOf(c, shift));
                break;
            case Noise:
                frames.push_back(frameOf(colours(100 + std::uint32_t(f), kWidth * kHeight), 0));
            }
        }
        const Plan plan = encode(frames, settings);
        EXPECT_EQ(plan.runs, row.runs);
        // The first run's palette is the file's global table; every other run brings its own.
        ASSERT_EQ(plan.local.size(), frames.size());
        for (std::size_t f = 0; f < frames.size(); ++f)
            EXPECT_EQ(plan.local[f], int(f) >= row.runs.front().second) << "frame " << f;
        // A run without noise has a palette that holds its colours and shows its frames
        // exactly: each run got its own palette.
        ASSERT_EQ(plan.shown.size(), frames.size());
        for (const auto& [first, end] : row.runs) {
            if (std::count(&row.frames[first], &row.frames[0] + end, Noise) > 0)
                continue;
            for (int f = first; f < end; ++f)
                EXPECT_EQ(plan.shown[f], frames[f]) << "frame " << f;
        }
    }
}

} // namespace
