#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>

// Colours are stored and described as 32-bit values 0x00BBGGRR (red in the lowest byte). These
// are the one place where they become Qt colours and back.

// 0x00BBGGRR as an opaque colour.
constexpr QRgb fromColorRef(std::uint32_t colorRef) {
    return 0xFF000000u | ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) |
           ((colorRef >> 16) & 0xFFu);
}

// An opaque colour as 0x00BBGGRR (its alpha is dropped).
constexpr std::uint32_t toColorRef(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
           (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

static_assert(fromColorRef(0x0000FF) == 0xFFFF0000u); // red
static_assert(toColorRef(0xFF0000FFu) == 0xFF0000u);  // blue
