#pragma once

#include "text/LogFontA.h"

#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

class QPainter;

// TextOutline: the path geometry of the outline text styles: the text turned into a path (always
// bold, em size from the record's height), flattening into straight segments within a tolerance,
// the outline of the filled area (overlaps merged), and the embossed trace of that outline.
class TextOutline {
public:
    // Flattening tolerance of the styles, in pixels.
    static constexpr qreal kTolerance = 0.25;

    // Em size of the path: |height| x 27 / 40 in integer arithmetic (a height of 0 counts as the
    // default cell height).
    static int emSize(std::int32_t height);
    // The text as a path in the record's face, bold, at emSize(), laid out from the top-left
    // corner of `layout` (near alignment). Winding fill.
    static QPainterPath textPath(const LogFontA& font, const QString& text, const QRectF& layout);
    // The path with every curve replaced by straight segments no farther than `tolerance` from it.
    static QPainterPath flattened(const QPainterPath& path, qreal tolerance);
    // The boundary of the area the path fills under the winding rule: flattened, overlaps
    // merged, only straight segments.
    static QPainterPath outline(const QPainterPath& path, qreal tolerance);
    // Draws the segments of a flattened path one by one: with `upLeftPen` when the segment's end
    // is neither right of nor below its start, with `otherPen` otherwise (lit and shaded edges).
    // Curve points are skipped.
    static void traceEmbossed(QPainter& painter, const QPainterPath& path, const QPen& upLeftPen,
                              const QPen& otherPen);

private:
    // textPath() and outline() remember their recent results; these compute them.
    static QPainterPath buildTextPath(const LogFontA& font, const QString& text,
                                      const QRectF& layout);
    static QPainterPath buildOutline(const QPainterPath& path, qreal tolerance);
};
