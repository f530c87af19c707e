#pragma once

#include <QImage>

// Checkerboard: the two-colour pattern the canvas window shows behind transparent pixels,
// squares of 8 screen pixels in white and light grey (not scaled by the zoom).
class Checkerboard {
public:
    static constexpr int kSquare = 8;
    static constexpr QRgb kLight = 0xFFFFFFFF;
    static constexpr QRgb kDark = 0xFFD6D6D6;

    // One repeat of the pattern (2 x 2 squares), for a pattern brush.
    static const QImage& pattern();
};
