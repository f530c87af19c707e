#pragma once

#include <QImage>

#include <vector>

// SymbolStarterArt: the animated symbols a new library starts with, drawn in code (our own
// artwork): 32-bit ARGB frames on transparency, each set looping seamlessly.
class SymbolStarterArt {
public:
    static std::vector<QImage> walkingFigure(); // 8 frames, 80 x 110
    static std::vector<QImage> spinningStar();  // 8 frames, 96 x 96
    static std::vector<QImage> bouncingBall();  // 8 frames, 64 x 100
    static std::vector<QImage> butterfly();     // 6 frames, 96 x 80
    static std::vector<QImage> blinkingFace();  // 6 frames, 90 x 90
    static std::vector<QImage> flame();         // 6 frames, 64 x 96
    static std::vector<QImage> wavingFlag();    // 8 frames, 100 x 80
    static std::vector<QImage> beatingHeart();  // 6 frames, 80 x 72

    // Every set above, in the order a new library lists them.
    static std::vector<std::vector<QImage>> all();
};
