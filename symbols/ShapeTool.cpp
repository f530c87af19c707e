#include "symbols/ShapeTool.h"

#include "symbols/PaintStyle.h"

#include <QPainterPath>

#include <cstdlib>

bool ShapeTool::isShapeTool(PaintTool tool) {
    switch (tool) {
    case PaintTool::Line:
    case PaintTool::Rectangle:
    case PaintTool::FilledRectangle:
    case PaintTool::Ellipse:
    case PaintTool::FilledEllipse:
        return true;
    default:
        return false;
    }
}

void ShapeTool::press(QPoint point) {
    m_anchor = point;
    m_end = point;
    m_active = true;
}

void ShapeTool::move(QPoint point) {
    m_end = point;
}

void ShapeTool::release(QPoint point) {
    m_end = point;
}

QRect ShapeTool::rect() const {
    return QRect(std::min(m_anchor.x(), m_end.x()), std::min(m_anchor.y(), m_end.y()),
                 std::abs(m_end.x() - m_anchor.x()), std::abs(m_end.y() - m_anchor.y()));
}

void ShapeTool::draw(QPainter& painter, const ToolSettings& settings, const QRect& clip) const {
    const QRect shape = rect();
    switch (settings.tool) {
    case PaintTool::Line:
        painter.setPen(PaintStyle::pen(settings));
        painter.drawLine(m_anchor, m_end);
        return;
    case PaintTool::Rectangle:
        painter.setPen(PaintStyle::pen(settings));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(shape);
        return;
    case PaintTool::Ellipse:
        painter.setPen(PaintStyle::pen(settings));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(shape);
        return;
    case PaintTool::FilledRectangle:
    case PaintTool::FilledEllipse: {
        QPainterPath path;
        if (settings.tool == PaintTool::FilledRectangle)
            path.addRect(shape);
        else
            path.addEllipse(shape);
        PaintStyle::fillShape(painter, path, shape, settings, clip);
        return;
    }
    default:
        return;
    }
}
