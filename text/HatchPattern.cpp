#include "text/HatchPattern.h"

#include <array>
#include <cstdint>

namespace {

// One byte per row, top row first; the high bit is the leftmost pixel.
using Bits = std::array<std::uint8_t, 8>;

// X . . . . . . .
// . . . . . . . .
// . . . . . . . .
// . . . . . . . .
// . . . . X . . .
// (rows 5..7 empty)
constexpr Bits kPercent05Bits = {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00};

// X . . . X . . .
// . X . X . X . .
// . . X . . . X .
// . X . . . X . X
// X . . . X . . .
// . . . X . X . .
// . . X . . . X .
// . X . X . . . X
constexpr Bits kWeaveBits = {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51};

// X . X . X . X .
// . . . . . . . .
// X . . . . . . .
// . . . . . . . .
// X . . . . . . .
// . . . . . . . .
// X . . . . . . .
// . . . . . . . .
constexpr Bits kDottedGridBits = {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00};

const Bits* bitsOf(int style) {
    switch (style) {
    case HatchPattern::kPercent05:
        return &kPercent05Bits;
    case HatchPattern::kWeave:
        return &kWeaveBits;
    case HatchPattern::kDottedGrid:
        return &kDottedGridBits;
    default:
        return nullptr;
    }
}

} // namespace

QImage HatchPattern::image(int style, QColor foreground, QColor background) {
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(background);
    const Bits* bits = bitsOf(style);
    if (!bits) return picture;
    const QRgb fore = foreground.rgba();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((*bits)[std::size_t(y)] & (0x80 >> x)) picture.setPixel(x, y, fore);
    return picture;
}

QBrush HatchPattern::brush(int style, QColor foreground, QColor background,
                           const QTransform& world) {
    QBrush result(image(style, foreground, background));
    // Undo the world transform so that pattern pixels land on device pixels.
    bool invertible = false;
    const QTransform inverse = world.inverted(&invertible);
    if (invertible) result.setTransform(inverse);
    return result;
}
