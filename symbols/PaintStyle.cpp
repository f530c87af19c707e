#include "symbols/PaintStyle.h"

#include "document/ColorRef.h"
#include "symbols/PathGradient.h"

#include <QLinearGradient>

void PaintStyle::setHighQuality(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPen PaintStyle::pen(const ToolSettings& settings) {
    return pen(settings, ColorRef::toColor(settings.color));
}

QPen PaintStyle::pen(const ToolSettings& settings, const QColor& color) {
    const bool round = settings.shape == PenShape::Round;
    return QPen(QBrush(color), qreal(settings.size), Qt::SolidLine,
                round ? Qt::RoundCap : Qt::SquareCap, round ? Qt::RoundJoin : Qt::MiterJoin);
}

void PaintStyle::fillShape(QPainter& painter, const QPainterPath& shape, const QRectF& linearSpan,
                           const ToolSettings& settings, const QRect& clip) {
    const QColor opaque = ColorRef::toColor(settings.color, 255);
    const QColor transparent = ColorRef::toColor(settings.color, 0);
    switch (settings.fill) {
    case FillType::Solid:
        painter.fillPath(shape, opaque);
        return;
    case FillType::HorizontalGradient:
    case FillType::VerticalGradient: {
        const bool horizontal = settings.fill == FillType::HorizontalGradient;
        QLinearGradient gradient(linearSpan.topLeft(),
                                 horizontal ? linearSpan.topRight() : linearSpan.bottomLeft());
        gradient.setColorAt(0, opaque);
        gradient.setColorAt(1, transparent);
        gradient.setSpread(QGradient::RepeatSpread); // tiles beyond the span
        painter.fillPath(shape, gradient);
        return;
    }
    case FillType::RadialGradient: {
        const QPolygonF outline = shape.toFillPolygon();
        painter.save();
        painter.setClipPath(shape, Qt::IntersectClip);
        PathGradient::fill(painter, outline, PathGradient::centroid(outline), opaque, transparent,
                           clip);
        painter.restore();
        return;
    }
    }
}
