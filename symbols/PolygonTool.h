#pragma once

#include "symbols/ToolSettings.h"

#include <QPainter>
#include <QPolygon>
#include <QRect>
#include <QSize>

// PolygonTool: the "3D Frame Tool", a polygon built one press at a time. The first press starts
// it at its point; every later press places the next vertex, which follows the drag and joins
// the polygon with an edge from the previous vertex at the release. The polygon stays open
// across presses until the canvas closes it (right press, double click, another tool).
class PolygonTool {
public:
    void press(QPoint point);
    void move(QPoint point);
    void release(QPoint point);
    bool isOpen() const { return !m_vertices.isEmpty(); }
    // The vertices joined so far (first vertex first); empties the tool.
    QPolygon take();
    void clear();

    // The open polygon: its edges with the pen, and the edge being dragged.
    void drawOpen(QPainter& painter, const ToolSettings& settings) const;
    // A closed polygon: filled with the fill type (linear gradients across 0,0 - `clientSize`,
    // the canvas window's client size, as the tool always did), then its edges with the pen.
    static void drawClosed(QPainter& painter, const QPolygon& vertices,
                           const ToolSettings& settings, QSize clientSize, const QRect& clip);

private:
    QPolygon m_vertices;
    QPoint m_dragged;
    bool m_dragging = false;
};
