#include "text/TextStyleColours.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<TextColourPair, 9> kDefaults = {{
    {TextStyleColours::colorRef(0, 255, 0), TextStyleColours::colorRef(0, 156, 0)}, // no style
    {TextStyleColours::colorRef(120, 120, 192), TextStyleColours::colorRef(0, 64, 128)},
    {TextStyleColours::colorRef(128, 65, 191), TextStyleColours::colorRef(255, 255, 255)},
    {TextStyleColours::colorRef(198, 25, 0), TextStyleColours::colorRef(255, 255, 255)},
    {TextStyleColours::colorRef(0, 25, 198), TextStyleColours::colorRef(255, 255, 255)},
    {TextStyleColours::colorRef(198, 25, 0), TextStyleColours::colorRef(255, 255, 0)},
    {TextStyleColours::colorRef(88, 66, 214), TextStyleColours::colorRef(255, 255, 255)},
    {TextStyleColours::colorRef(255, 255, 255), TextStyleColours::colorRef(255, 80, 255)},
    {TextStyleColours::colorRef(0, 25, 198), TextStyleColours::colorRef(198, 25, 0)},
}};

} // namespace

TextColourPair TextStyleColours::defaults(int style) {
    return style >= 1 && style <= 8 ? kDefaults[std::size_t(style)] : kDefaults[0];
}

QRgb TextStyleColours::toArgb(std::uint32_t colorRef, int opacity) {
    const auto alpha = std::uint32_t(std::clamp(opacity, 0, 255));
    const std::uint32_t red = colorRef & 0xFF;
    const std::uint32_t green = (colorRef >> 8) & 0xFF;
    const std::uint32_t blue = (colorRef >> 16) & 0xFF;
    return alpha << 24 | red << 16 | green << 8 | blue;
}

QColor TextStyleColours::toColor(std::uint32_t colorRef, int opacity) {
    return QColor::fromRgba(toArgb(colorRef, opacity));
}
