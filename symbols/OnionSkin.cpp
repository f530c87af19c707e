#include "symbols/OnionSkin.h"

void OnionSkin::setNeighbours(const QImage& previous, const QImage& next) {
    follow(m_previous, previous, kPreviousTint);
    follow(m_next, next, kNextTint);
}

void OnionSkin::follow(Neighbour& neighbour, const QImage& frame, QRgb tint) {
    if (frame.isNull()) {
        neighbour = Neighbour{};
        return;
    }
    if (neighbour.source == frame.cacheKey() && !neighbour.tinted.isNull())
        return;
    neighbour.source = frame.cacheKey();
    neighbour.tinted = tinted(frame, tint);
}

QImage OnionSkin::tinted(const QImage& frame, QRgb tint) {
    QImage result = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&result);
    // Source-atop paints only where the frame has paint, and keeps its alpha.
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.setOpacity(kTintStrength);
    painter.fillRect(result.rect(), QColor::fromRgb(tint));
    return result;
}

void OnionSkin::paint(QPainter& painter, const QRect& canvasArea) const {
    if (isEmpty())
        return;
    painter.save();
    painter.setClipRect(canvasArea, Qt::IntersectClip);
    painter.setOpacity(kOpacity);
    // The previous frame last, over the next: it is the one a painter follows most.
    for (const QImage* picture : {&m_next.tinted, &m_previous.tinted})
        if (!picture->isNull())
            painter.drawImage(QPointF(0, 0), *picture);
    painter.restore();
}
