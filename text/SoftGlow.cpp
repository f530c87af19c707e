#include "text/SoftGlow.h"

#include "text/AppendedTransform.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

void SoftGlow::applyQualityHints(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
}

void SoftGlow::draw(QPainter& target, QSize size, qreal factor, QPointF at,
                    const std::function<void(QPainter&)>& content) {
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0 || factor <= 0) return;
    QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return; // too large to allocate: no glow
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        applyQualityHints(painter);
        // Centre on the origin (integer halves), shrink, then move the shrunk centre to the
        // centre of the top-left w*f x h*f corner.
        painter.setWorldTransform(AppendedTransform()
                                      .translate(-(w / 2), -(h / 2))
                                      .scale(factor, factor)
                                      .translate(w * factor / 2, h * factor / 2)
                                      .matrix());
        content(painter);
    }
    // Only the shrunk corner (plus two transparent pixels, so that the interpolation at its
    // border fades into transparency) holds anything: enlarge that part alone. It lands
    // exactly where the whole picture enlarged by 1/f would put it.
    const int usedW = std::min(w, int(std::ceil(w * factor)) + 2);
    const int usedH = std::min(h, int(std::ceil(h * factor)) + 2);
    target.drawImage(QRectF(at, QSizeF(usedW / factor, usedH / factor)), picture,
                     QRectF(0, 0, usedW, usedH));
}
