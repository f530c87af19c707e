#pragma once

class QBrush;
class QColor;
class QPainter;
class QRect;
class QWidget;

// WindowShape: the rounded corners of caption-less windows. Where the window system composites
// (Wayland, X11 with a compositing manager) the window is see-through and paints its own
// antialiased corners. On X11 without a compositing manager see-through pixels show black, so
// the window is cut to its rounded shape by a mask instead: harder corners, but no black ones.
class WindowShape {
public:
    // True unless the display is X11 without a compositing manager.
    static bool translucencyAvailable();

    // Rounds `window` (top level, fixed size, before it is first shown) with corners of a
    // `radius` ellipse quarter; `translucent` chooses between the two ways above.
    static void round(QWidget& window, int radius, bool translucent = translucencyAvailable());

    // Fills the rounded face of a window of rectangle `area` and draws its one-pixel edge.
    static void paintFace(QPainter& painter, const QRect& area, int radius, const QBrush& face,
                          const QColor& edge);
};
