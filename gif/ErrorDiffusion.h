#pragma once

#include <QImage>

#include <cstdint>

// ErrorDiffusion: reduces a true-colour picture to palette indexes with Floyd-Steinberg error
// diffusion (7/16 right, 3/16 below left, 5/16 below, 1/16 below right), each pixel mapped to
// the exact nearest palette entry.
class ErrorDiffusion {
public:
    // `palette` holds `count` entries as 0xRRGGBB. Writes width x height indexes to `out`,
    // rows top to bottom, `outStride` bytes apart. Alpha is ignored.
    static void reduce(const QImage& picture, const std::uint32_t* palette, int count,
                       std::uint8_t* out, int outStride);
};
