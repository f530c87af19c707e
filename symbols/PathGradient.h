#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRect>

// PathGradient: a shape filled from a centre colour at a centre point to a surround colour on
// its outline, changing linearly along every ray from the centre. It is drawn as a fan of
// triangles (centre, edge start, edge end), each a linear gradient from the centre to the
// edge's line, so it is exact for rectangles, polygons seen whole from the centre, and the
// flattened outline of an ellipse.
class PathGradient {
public:
    // The gradient over `outline` rendered into a premultiplied picture covering the outline's
    // whole-pixel bounds within `clip`; `origin` receives where that picture belongs.
    static QImage render(const QPolygonF& outline, QPointF centre, QColor centreColor,
                         QColor surroundColor, const QRect& clip, QPoint* origin);
    // render(), then drawn with `painter` (whose transform and hints apply).
    static void fill(QPainter& painter, const QPolygonF& outline, QPointF centre,
                     QColor centreColor, QColor surroundColor, const QRect& clip);
    // The centre of area of a closed polygon (the mean of its corners when it has no area).
    static QPointF centroid(const QPolygonF& outline);
};
