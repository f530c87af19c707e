#pragma once

#include <QColor>

#include <cstdint>

// A text object's two colours as Windows colour values 0x00BBGGRR.
struct TextColourPair {
    std::uint32_t first;
    std::uint32_t second;
};

// TextStyleColours: the colours of the text styles: the default pair each style starts with
// when chosen in the text panel, and the conversion of a colour value plus the object's
// opacity into the ARGB colour every style draws with.
class TextStyleColours {
public:
    // The default pair of style 1..8; any other number gives the pair of "no style".
    static TextColourPair defaults(int style);
    // 0x00BBGGRR with opacity A (clamped to 0..255) -> 0xAARRGGBB.
    static QRgb toArgb(std::uint32_t colorRef, int opacity);
    static QColor toColor(std::uint32_t colorRef, int opacity);
    // Red, green, blue as a colour value 0x00BBGGRR.
    static constexpr std::uint32_t colorRef(int red, int green, int blue) {
        return std::uint32_t(red & 0xFF) | std::uint32_t(green & 0xFF) << 8 |
               std::uint32_t(blue & 0xFF) << 16;
    }
};
