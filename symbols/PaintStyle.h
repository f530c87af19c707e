#pragma once

#include "symbols/ToolSettings.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>

// PaintStyle: the pens, fills and painter settings every tool draws with, so that a shape's
// preview on the screen and its commit into the picture are drawn the same way.
class PaintStyle {
public:
    // The settings of a commit into the picture: smooth edges and smooth picture scaling.
    static void setHighQuality(QPainter& painter);
    // The pen of the opaque current colour, `size` pixels wide; square caps for shape 0 and
    // round caps (and joins) for shape 1.
    static QPen pen(const ToolSettings& settings);
    static QPen pen(const ToolSettings& settings, const QColor& color);
    // Fills `shape` with the fill type. Linear gradients run across `linearSpan` (opaque at its
    // left or top edge, transparent at the opposite edge, repeating beyond it); the radial
    // gradient runs from the shape's centre to its own outline. `clip` bounds the work of the
    // radial gradient (canvas pixels that can show).
    static void fillShape(QPainter& painter, const QPainterPath& shape, const QRectF& linearSpan,
                          const ToolSettings& settings, const QRect& clip);
};
