#include "export/FrameBitmap.h"

#include <cstring>

std::vector<std::uint8_t> FrameBitmap::fromImage(const QImage& frame) {
    const QImage rgb =
        frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
            ? frame
            : frame.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = strideFor(width);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        // 32-bit pixels are B, G, R, X in memory (little-endian 0xAARRGGBB).
        const std::uint8_t* source = rgb.constScanLine(y);
        std::uint8_t* target = bits.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            target[x * 3 + 0] = source[x * 4 + 0];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
        }
    }
    return bits;
}

std::vector<std::uint8_t> FrameBitmap::toTopDownRgb(const std::uint8_t* bits, int width,
                                                    int height) {
    const int stride = strideFor(width);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = bits + static_cast<std::size_t>(height - 1 - y) * stride;
        std::uint8_t* target = rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            target[x * 3 + 0] = source[x * 3 + 2];
            target[x * 3 + 1] = source[x * 3 + 1];
            target[x * 3 + 2] = source[x * 3 + 0];
        }
    }
    return rgb;
}
