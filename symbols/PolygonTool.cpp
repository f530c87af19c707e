#include "symbols/PolygonTool.h"

#include "symbols/PaintStyle.h"

#include <QPainterPath>

void PolygonTool::press(QPoint point) {
    if (m_vertices.isEmpty()) {
        m_vertices.append(point);
        return;
    }
    m_dragged = point;
    m_dragging = true;
}

void PolygonTool::move(QPoint point) {
    if (m_dragging)
        m_dragged = point;
}

void PolygonTool::release(QPoint point) {
    if (!m_dragging)
        return;
    m_dragging = false;
    m_vertices.append(point);
}

QPolygon PolygonTool::take() {
    QPolygon vertices = m_vertices;
    clear();
    return vertices;
}

void PolygonTool::clear() {
    m_vertices.clear();
    m_dragging = false;
}

void PolygonTool::drawOpen(QPainter& painter, const ToolSettings& settings) const {
    if (m_vertices.isEmpty())
        return;
    painter.setPen(PaintStyle::pen(settings));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(m_vertices);
    if (m_dragging)
        painter.drawLine(m_vertices.last(), m_dragged);
}

void PolygonTool::drawClosed(QPainter& painter, const QPolygon& vertices,
                             const ToolSettings& settings, QSize clientSize, const QRect& clip) {
    if (vertices.isEmpty())
        return;
    QPainterPath path;
    path.addPolygon(QPolygonF(vertices));
    path.closeSubpath();
    PaintStyle::fillShape(painter, path, QRectF(QPointF(0, 0), QSizeF(clientSize)), settings, clip);
    painter.setPen(PaintStyle::pen(settings));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}
