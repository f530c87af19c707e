#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QTransform>

// HatchPattern: the platform's 8 x 8 two-colour hatch patterns that the text styles fill with,
// numbered as the platform numbers its hatch styles. Like the platform's hatch brushes, the
// pattern is laid on device pixels: it neither scales nor turns with the world transform.
class HatchPattern {
public:
    enum Style {
        kPercent05 = 6,   // two dots in 64 pixels
        kWeave = 40,      // interlaced diagonal strands
        kDottedGrid = 43, // a grid of dotted lines, 8 pixels apart
    };

    // The 8 x 8 picture: foreground where the pattern is set, background elsewhere. An unknown
    // style gives a picture of the background colour alone.
    static QImage image(int style, QColor foreground, QColor background);
    // A brush of that picture for a painter whose world transform is `world`.
    static QBrush brush(int style, QColor foreground, QColor background, const QTransform& world);
};
