#pragma once

#include <QImage>

#include <vector>

// SampleArt: the pictures of the bundled sample projects, drawn in code: symbol frames (ARGB
// with transparent surroundings) and background pictures.
class SampleArt {
public:
    static std::vector<QImage> sun(int size);      // 2 frames: rays turn
    static std::vector<QImage> cloud(int width);   // 1 frame
    static std::vector<QImage> bird(int size);     // 4 frames: wings flap
    static std::vector<QImage> rocket(int length); // 2 frames: flame flickers, nose up
    static std::vector<QImage> planet(int size, QRgb body, QRgb ring); // 1 frame
    static std::vector<QImage> ball(int size, QRgb colour);            // 1 frame
    static std::vector<QImage> star(int size);                         // 3 frames: twinkles
    static std::vector<QImage> spark(int size);                        // 1 frame: soft round glow

    static QImage skyGradient(int width, int height);    // stretched background
    static QImage checkerTile(int size, QRgb a, QRgb b); // tiled background
    static QImage starField(int width, int height);      // centred background
    // Two green hills; with `sky` on a light blue sky (a background picture), else on
    // transparency (a symbol).
    static QImage hills(int width, int height, bool sky);
};
