#include "text/StyledTextRenderer.h"

#include "text/AppendedTransform.h"
#include "text/FontTextMeasurer.h"
#include "text/HatchPattern.h"
#include "text/LogFontConverter.h"
#include "text/SoftGlow.h"
#include "text/TextLayout.h"
#include "text/TextOutline.h"
#include "text/TextStyleColours.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr QRgb kFallbackTop = 0xFFD2691E;    // chocolate
constexpr QRgb kFallbackBottom = 0xFFFAEBD7; // antique white
constexpr std::uint32_t kStyle3Outline = 0x00A8A8A8;

// Everything one call works with, derived once at its start.
struct Call {
    QPainter& painter;
    const StyledText& in;
    QString text;
    TextLayout layout;
    QSize size;      // measured text size in whole pixels (w, h)
    QRectF textRect; // (left, top, w, h)
    QRectF boxRect;  // (0, 0, W, H)
    QColor first;
    QColor second;

    QPointF origin() const { return textRect.topLeft(); }
    // The text as the outline styles' path, laid out from the top-left of `layoutRect`.
    QPainterPath path(const QRectF& layoutRect) const {
        return TextOutline::textPath(in.font, text, layoutRect);
    }
};

// The platform's pen: flat caps, mitred joins.
QPen platformPen(const QColor& colour, qreal width) {
    QPen pen(QBrush(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

// A gradient at 90 degrees over `rect`: `top` at its top edge, `bottom` at its bottom edge,
// repeating beyond it as the platform tiles its gradient brushes.
QLinearGradient verticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setSpread(QGradient::RepeatSpread);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

void fillText(QPainter& painter, const TextLayout& layout, QPointF origin, const QBrush& brush) {
    painter.setPen(QPen(brush, 0));
    painter.setBrush(Qt::NoBrush);
    layout.draw(painter, origin);
}

QBrush hatch(const Call& c, int pattern) {
    return HatchPattern::brush(pattern, c.second, c.first, c.painter.worldTransform());
}

void drawFallback(Call& c) {
    fillText(c.painter, c.layout, c.origin(),
             verticalGradient(c.textRect, QColor::fromRgba(kFallbackTop),
                              QColor::fromRgba(kFallbackBottom)));
}

void drawStyle1(Call& c) {
    fillText(c.painter, c.layout, c.origin(), verticalGradient(c.textRect, c.first, c.second));
}

void drawStyle2(Call& c) {
    SoftGlow::draw(c.painter, c.size, 1.0 / 4, c.origin(),
                   [&](QPainter& glow) { fillText(glow, c.layout, c.origin(), QBrush(c.first)); });
    // Triangular blend, focus 0.6: first colour, second at 60 % of the height, first again.
    QLinearGradient gradient = verticalGradient(c.textRect, c.first, c.second);
    gradient.setColorAt(0.6, c.second);
    gradient.setColorAt(1, c.first);
    fillText(c.painter, c.layout, c.origin(), gradient);
}

void drawStyle3(Call& c) {
    const QPainterPath path = c.path(c.textRect);
    c.painter.fillPath(path, hatch(c, HatchPattern::kDottedGrid));
    c.painter.strokePath(TextOutline::flattened(path, TextOutline::kTolerance),
                         platformPen(TextStyleColours::toColor(kStyle3Outline, c.in.opacity), 1));
}

void drawStyle4(Call& c) {
    c.painter.fillPath(c.path(c.textRect), hatch(c, HatchPattern::kPercent05));
}

void drawStyle5(Call& c) {
    SoftGlow::draw(c.painter, c.size, 1.0 / 8, c.origin(),
                   [&](QPainter& glow) { glow.fillPath(c.path(c.boxRect), c.first); });
    const QPainterPath path = c.path(c.textRect);
    c.painter.fillPath(path, verticalGradient(c.textRect, c.first, c.second));
    TextOutline::traceEmbossed(c.painter, TextOutline::outline(path, TextOutline::kTolerance),
                               platformPen(c.second, 0.5), platformPen(c.first, 0.5));
}

void drawStyle6(Call& c) {
    const QPainterPath outline = TextOutline::outline(c.path(c.textRect), TextOutline::kTolerance);
    c.painter.fillPath(outline, hatch(c, HatchPattern::kWeave));
    c.painter.strokePath(outline, platformPen(c.first, 2));
}

void drawStyle7(Call& c) {
    SoftGlow::draw(c.painter, c.size, 1.0 / 8, c.origin(),
                   [&](QPainter& glow) { glow.fillPath(c.path(c.boxRect), c.second); });
    const QPainterPath path = c.path(c.textRect);
    c.painter.fillPath(path, c.second);
    c.painter.strokePath(TextOutline::outline(path, TextOutline::kTolerance),
                         platformPen(c.first, 2));
}

void drawStyle8(Call& c) {
    // Only the half-resolution rendering is drawn: the whole text is soft.
    SoftGlow::draw(c.painter, c.size, 1.0 / 2, c.origin(), [&](QPainter& glow) {
        const QPainterPath path = c.path(c.boxRect);
        glow.fillPath(path, c.first);
        glow.strokePath(path, platformPen(c.second, 2));
    });
}

} // namespace

void StyledTextRenderer::draw(QPainter& painter, const StyledText& in) {
    const QString text = LogFontConverter::decodeText(in.text, FontTextMeasurer::kMaxTextUnits);
    if (text.isEmpty()) return;
    Call c{painter,
           in,
           text,
           TextLayout(LogFontConverter::toQFont(in.font), text),
           QSize(),
           QRectF(),
           QRectF(0, 0, in.box.width(), in.box.height()),
           TextStyleColours::toColor(in.firstColor, in.opacity),
           TextStyleColours::toColor(in.secondColor, in.opacity)};
    c.size = c.layout.wholePixelSize();
    c.textRect = QRectF(in.box.left(), in.box.top(), c.size.width(), c.size.height());

    painter.save();
    SoftGlow::applyQualityHints(painter);
    switch (in.style) {
    case 1:
        drawStyle1(c);
        break;
    case 2:
        drawStyle2(c);
        break;
    case 3:
        drawStyle3(c);
        break;
    case 4:
        drawStyle4(c);
        break;
    case 5:
        drawStyle5(c);
        break;
    case 6:
        drawStyle6(c);
        break;
    case 7:
        drawStyle7(c);
        break;
    case 8:
        drawStyle8(c);
        break;
    default:
        drawFallback(c);
        break;
    }
    painter.restore();
}

QTransform StyledTextRenderer::previewTransform(QSize measured, qreal angle, qreal scale,
                                                QPoint topLeft) {
    const int w = measured.width();
    const int h = measured.height();
    return AppendedTransform()
        .translate(-(w / 2), -(h / 2))
        .rotate(angle)
        .scale(scale, scale)
        .translate(w * scale * 0.5 + topLeft.x(), h * scale * 0.5 + topLeft.y())
        .matrix();
}

void StyledTextRenderer::drawTransformed(QPainter& painter, const StyledText& in, qreal angle,
                                         qreal scale) {
    const QSize measured = FontTextMeasurer().measure(in.font, in.text);
    StyledText boxed = in;
    boxed.box = QRect(0, 0, in.box.width(), in.box.height());
    painter.save();
    painter.setWorldTransform(previewTransform(measured, angle, scale, in.box.topLeft()));
    draw(painter, boxed);
    painter.restore();
}
