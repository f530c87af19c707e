#pragma once

#include <QPoint>
#include <QSize>
#include <QTransform>

// CanvasViewport: how the canvas window shows the picture: the zoom (0.25 to 4.0 in steps of
// 0.25), the scroll offsets in pixels of the zoomed view, and the mapping between window
// (client) points and canvas pixels. The offsets always lie within 0..range, where the range is
// what the zoomed picture sticks out beyond the client area.
class CanvasViewport {
public:
    // The notification codes of the scroll bars (horizontal: left/right; vertical: up/down).
    enum ScrollCode : int {
        LineBack = 0,    // one pixel left or up
        LineForward = 1, // one pixel right or down
        PageBack = 2,    // thirty pixels left or up
        PageForward = 3, // thirty pixels right or down
        ThumbTrack = 4,  // to the given position
        ThumbPosition = 5,
        ToStart = 6,
        ToEnd = 7,
    };
    static constexpr int kLineStep = 1;
    static constexpr int kPageStep = 30;
    static constexpr float kMinZoom = 0.25f;
    static constexpr float kMaxZoom = 4.0f;
    static constexpr float kZoomStep = 0.25f;

    float zoom() const { return m_zoom; }
    // Zoom in adds a step while the zoom is below the maximum, zoom out takes one away while a
    // step remains above the minimum; both answer whether the zoom changed.
    bool zoomIn();
    bool zoomOut();

    void setCanvasSize(QSize size);
    void setClientSize(QSize size);
    QSize canvasSize() const { return m_canvas; }
    QSize clientSize() const { return m_client; }
    // The picture's size on the screen at the current zoom (partial pixels rounded up).
    QSize zoomedSize() const;

    int horizontalRange() const;
    int verticalRange() const;
    int horizontalOffset() const { return m_horizontal; }
    int verticalOffset() const { return m_vertical; }
    // Both offsets at once, clamped to their ranges.
    void setOffsets(int horizontal, int vertical);

    // Applies a scroll bar's notification; `position` is used by the two thumb codes.
    void scrollHorizontal(int code, int position = 0);
    void scrollVertical(int code, int position = 0);
    // A mouse wheel turn (120 per notch) moves the vertical offset, or the horizontal one when
    // that bar has the focus, by the raw delta against the wheel's direction.
    void wheel(int delta, bool horizontalBar);

    // Client point -> canvas pixel: ((x + offset) / zoom), in floating point, truncated toward 0.
    QPoint toCanvas(QPoint client) const;
    // Canvas coordinates -> client coordinates (scale by the zoom, then scroll).
    QTransform canvasToClient() const;

private:
    static int scrolled(int offset, int code, int position);
    void clampOffsets();

    float m_zoom = 1.0f;
    QSize m_canvas{200, 200};
    QSize m_client{410, 270}; // the canvas window of the symbol editor until told otherwise
    int m_horizontal = 0;
    int m_vertical = 0;
};
