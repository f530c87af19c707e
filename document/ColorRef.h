#pragma once

#include <QColor>

#include <cstdint>

// ColorRef: the program's stored colour value 0x00BBGGRR (red in the low byte) and its
// conversions to Qt colours. The one place that knows that byte order.
class ColorRef {
public:
    // The colour with the given alpha (255 = the opaque current colour, 0 = the transparent one).
    static QColor toColor(std::uint32_t colorRef, int alpha = 255);
    // The same as a 0xAARRGGBB pixel value (QImage::Format_ARGB32).
    static QRgb toArgb(std::uint32_t colorRef, int alpha = 255);
    // The colour's red, green and blue as 0x00BBGGRR; alpha is dropped.
    static std::uint32_t fromColor(const QColor& color);
    static std::uint32_t fromArgb(QRgb argb);
    static constexpr std::uint32_t fromRgb(int red, int green, int blue) {
        return std::uint32_t(red) | std::uint32_t(green) << 8 | std::uint32_t(blue) << 16;
    }
};
