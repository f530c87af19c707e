#pragma once

#include "symbols/ToolSettings.h"

#include <QPainter>
#include <QPoint>
#include <QRect>

// ShapeTool: the line and the four rectangle-based shapes (rectangle, filled rectangle, ellipse,
// filled ellipse). The press fixes the anchor, the drag moves the end; the shape spans anchor
// and end.
class ShapeTool {
public:
    void press(QPoint point);
    void move(QPoint point);
    // Ends the drag at `point`; the shape can then be committed.
    void release(QPoint point);
    void clear() { m_active = false; }
    bool isActive() const { return m_active; }

    QPoint anchor() const { return m_anchor; }
    QPoint end() const { return m_end; }
    // The rectangle spanned by anchor and end: top-left at the smaller coordinates, width and
    // height the absolute differences.
    QRect rect() const;
    // Draws the settings' tool: a line or an outline with the pen, or a fill without outline.
    // `clip` bounds the radial gradient's work (canvas pixels that can show).
    void draw(QPainter& painter, const ToolSettings& settings, const QRect& clip) const;

    static bool isShapeTool(PaintTool tool);

private:
    QPoint m_anchor;
    QPoint m_end;
    bool m_active = false;
};
