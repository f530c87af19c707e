#pragma once

#include <QPainter>
#include <QRect>
#include <QRgb>

class OnionSkin;
class PaintCanvas;

// CanvasRenderer: what the canvas window shows: grey around the picture, the checkerboard
// behind it, the onion skin when it is on, the picture scaled by the zoom (whole screen pixels
// per canvas pixel, no smoothing), and the feedback of the tool in use above it. The colour
// picker reads its colours from the same drawing without the onion skin, so it picks the
// frame's own pixels.
class CanvasRenderer {
public:
    static constexpr QRgb kSurround = 0xFFC8C8C8; // RGB(200, 200, 200)

    // Paints the client area `exposed` (client coordinates) of `canvas` with `painter`, with
    // the neighbouring frames of `onion` under the picture when it is given.
    static void paint(QPainter& painter, const PaintCanvas& canvas, const QRect& exposed,
                      const OnionSkin* onion = nullptr);
    // The colour the window shows at client point `client`.
    static QRgb shownColor(const PaintCanvas& canvas, QPoint client);
};
