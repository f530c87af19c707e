#include "gif/ErrorDiffusion.h"

#include "gif/NearestColour.h"

#include <algorithm>
#include <vector>

void ErrorDiffusion::reduce(const QImage& picture, const std::uint32_t* palette, int count,
                            std::uint8_t* out, int outStride) {
    const QImage rgb =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    NearestColour nearest(palette, count);
    // Errors in sixteenths, three channels, one pixel of margin on each side.
    std::vector<int> current(static_cast<std::size_t>(width + 2) * 3, 0);
    std::vector<int> next(current.size(), 0);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* indexes = out + static_cast<std::ptrdiff_t>(y) * outStride;
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < width; ++x) {
            int* e = &current[static_cast<std::size_t>(x + 1) * 3];
            const int r = std::clamp(qRed(line[x]) + ((e[0] + 8) >> 4), 0, 255);
            const int g = std::clamp(qGreen(line[x]) + ((e[1] + 8) >> 4), 0, 255);
            const int b = std::clamp(qBlue(line[x]) + ((e[2] + 8) >> 4), 0, 255);
            const int index = nearest.find(r, g, b);
            indexes[x] = static_cast<std::uint8_t>(index);
            const std::uint32_t chosen = palette[index];
            const int err[3] = {r - static_cast<int>((chosen >> 16) & 0xFF),
                                g - static_cast<int>((chosen >> 8) & 0xFF),
                                b - static_cast<int>(chosen & 0xFF)};
            int* right = e + 3;
            int* below = &next[static_cast<std::size_t>(x + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                right[c] += err[c] * 7;
                below[c - 3] += err[c] * 3;
                below[c] += err[c] * 5;
                below[c + 3] += err[c];
            }
        }
        std::swap(current, next);
    }
}
