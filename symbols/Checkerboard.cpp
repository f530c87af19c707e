#include "symbols/Checkerboard.h"

const QImage& Checkerboard::pattern() {
    static const QImage tile = [] {
        QImage image(2 * kSquare, 2 * kSquare, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = ((x / kSquare) + (y / kSquare)) % 2 == 0 ? kLight : kDark;
        }
        return image;
    }();
    return tile;
}
