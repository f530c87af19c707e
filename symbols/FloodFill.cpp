#include "symbols/FloodFill.h"

#include "symbols/ColorRef.h"

#include <cstdlib>

namespace {

bool near(int a, int b) {
    return std::abs(a - b) < FloodFill::kTolerance;
}

} // namespace

int FloodFill::apply(QImage& picture, QPoint at, std::uint32_t colorRef) {
    const QRgb reference =
        picture.rect().contains(at)
            ? reinterpret_cast<const QRgb*>(picture.constScanLine(at.y()))[at.x()]
            : qRgba(0, 0, 0, 255);
    const int a0 = qAlpha(reference);
    const bool fillTransparent = a0 < kTolerance;
    const QRgb replacement = ColorRef::toArgb(colorRef, fillTransparent ? 255 : a0);
    int replaced = 0;
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = row[x];
            const bool match = fillTransparent ? qAlpha(pixel) == 0
                                               : near(qAlpha(pixel), a0) &&
                                                     near(qRed(pixel), qRed(reference)) &&
                                                     near(qGreen(pixel), qGreen(reference)) &&
                                                     near(qBlue(pixel), qBlue(reference));
            if (match) {
                row[x] = replacement;
                ++replaced;
            }
        }
    }
    return replaced;
}
