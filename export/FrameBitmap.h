#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// FrameBitmap: a rendered frame as a 24-bit device-independent bitmap's pixels, the form the
// video writers take: rows bottom row first, blue-green-red, each row padded to a multiple of
// 4 bytes (stride = ((width x 24 + 31) / 32) x 4). Padding bytes are zero.
class FrameBitmap {
public:
    static int strideFor(int width) { return ((width * 24 + 31) / 32) * 4; }

    // The pixels of `frame` (any QImage format; alpha is dropped).
    static std::vector<std::uint8_t> fromImage(const QImage& frame);

    // The bitmap turned upside down with red and blue swapped: packed RGB24, top row first,
    // no padding (width x height x 3 bytes).
    static std::vector<std::uint8_t> toTopDownRgb(const std::uint8_t* bits, int width, int height);
};
