#pragma once

#include <QImage>
#include <QRect>

// FrameDelta: what each frame of an animation adds to the picture a GIF viewer already shows
// when frames are drawn over the ones before them (disposal "do not dispose"). For every
// pixel it remembers the rendered colour that the viewer's pixel was last painted for; a new
// frame's pixel within `tolerance` (per channel) of it is left transparent, so the viewer
// keeps showing what it shows, and every other pixel is painted. Comparing with rendered
// colours rather than with the palette colours on screen keeps the decision independent of
// the palette and bounds the drift of a kept pixel by the tolerance.
class FrameDelta {
public:
    struct Change {
        QRect rect;         // on the screen; 1 x 1 at (0, 0) when nothing is painted
        QImage pixels;      // rect-sized Format_RGBA8888; alpha 0 where the viewer's pixel stays
        qint64 painted = 0; // opaque pixels
        bool hasTransparent() const { return painted < qint64(rect.width()) * rect.height(); }
    };

    explicit FrameDelta(int tolerance = 0) : m_tolerance(tolerance) {}

    // The change for the next frame (opaque, any 32-bit RGB format, all frames of one size).
    // The first frame is painted whole.
    Change next(const QImage& frame);

private:
    int m_tolerance;
    QImage m_shown; // Format_RGB32: the rendered colour each viewer pixel was painted for
};
