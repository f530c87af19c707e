#include "symbols/CanvasViewport.h"

#include <algorithm>
#include <cmath>

bool CanvasViewport::zoomIn() {
    if (m_zoom >= kMaxZoom)
        return false;
    m_zoom += kZoomStep; // quarter steps are exact in binary floating point
    clampOffsets();
    return true;
}

bool CanvasViewport::zoomOut() {
    if (m_zoom < kMinZoom + kZoomStep)
        return false;
    m_zoom -= kZoomStep;
    clampOffsets();
    return true;
}

void CanvasViewport::setCanvasSize(QSize size) {
    m_canvas = size;
    clampOffsets();
}

void CanvasViewport::setClientSize(QSize size) {
    m_client = size;
    clampOffsets();
}

QSize CanvasViewport::zoomedSize() const {
    return QSize(int(std::ceil(m_canvas.width() * m_zoom)),
                 int(std::ceil(m_canvas.height() * m_zoom)));
}

int CanvasViewport::horizontalRange() const {
    return std::max(0, zoomedSize().width() - m_client.width());
}

int CanvasViewport::verticalRange() const {
    return std::max(0, zoomedSize().height() - m_client.height());
}

void CanvasViewport::setOffsets(int horizontal, int vertical) {
    m_horizontal = horizontal;
    m_vertical = vertical;
    clampOffsets();
}

void CanvasViewport::clampOffsets() {
    m_horizontal = std::clamp(m_horizontal, 0, horizontalRange());
    m_vertical = std::clamp(m_vertical, 0, verticalRange());
}

// Both bars share one table: the vertical bar's line-down step is one pixel like its line-up
// step and like the horizontal bar's line steps.
int CanvasViewport::scrolled(int offset, int code, int position) {
    switch (code) {
    case LineBack:
        return offset - kLineStep;
    case LineForward:
        return offset + kLineStep;
    case PageBack:
        return offset - kPageStep;
    case PageForward:
        return offset + kPageStep;
    case ThumbTrack:
    case ThumbPosition:
        return position;
    case ToStart:
        return 0;
    case ToEnd:
        return 1 << 30; // clamped to the range below
    default:
        return offset;
    }
}

void CanvasViewport::scrollHorizontal(int code, int position) {
    setOffsets(scrolled(m_horizontal, code, position), m_vertical);
}

void CanvasViewport::scrollVertical(int code, int position) {
    setOffsets(m_horizontal, scrolled(m_vertical, code, position));
}

void CanvasViewport::wheel(int delta, bool horizontalBar) {
    if (horizontalBar)
        setOffsets(m_horizontal - delta, m_vertical);
    else
        setOffsets(m_horizontal, m_vertical - delta);
}

QPoint CanvasViewport::toCanvas(QPoint client) const {
    const float x = float(client.x() + m_horizontal) / m_zoom;
    const float y = float(client.y() + m_vertical) / m_zoom;
    return QPoint(int(x), int(y)); // int() truncates toward zero
}

QTransform CanvasViewport::canvasToClient() const {
    return QTransform(m_zoom, 0, 0, m_zoom, -m_horizontal, -m_vertical);
}
