#include "document/ColorRef.h"

QRgb ColorRef::toArgb(std::uint32_t colorRef, int alpha) {
    const int red = colorRef & 0xFF;
    const int green = (colorRef >> 8) & 0xFF;
    const int blue = (colorRef >> 16) & 0xFF;
    return qRgba(red, green, blue, alpha);
}

QColor ColorRef::toColor(std::uint32_t colorRef, int alpha) {
    return QColor::fromRgba(toArgb(colorRef, alpha));
}

std::uint32_t ColorRef::fromArgb(QRgb argb) {
    return std::uint32_t(qRed(argb)) | std::uint32_t(qGreen(argb)) << 8 |
           std::uint32_t(qBlue(argb)) << 16;
}

std::uint32_t ColorRef::fromColor(const QColor& color) {
    return fromArgb(color.rgb());
}
