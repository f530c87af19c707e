#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>

// FloodFill: the flood-fill tool, a colour replacement over the whole picture (connected or
// not). The clicked pixel gives the reference colour C0 and alpha A0 (opaque black for a click
// beside the picture):
// - A0 < 5: every fully transparent pixel becomes the current colour, opaque;
// - otherwise every pixel whose blue, green, red and alpha each differ from C0 and A0 by less
//   than 5 becomes the current colour with alpha A0.
class FloodFill {
public:
    static constexpr int kTolerance = 5;

    // Applies the fill to `picture` (Format_ARGB32); returns the number of pixels replaced.
    static int apply(QImage& picture, QPoint at, std::uint32_t colorRef);
};
