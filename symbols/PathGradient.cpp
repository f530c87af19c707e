#include "symbols/PathGradient.h"

#include <QLinearGradient>

#include <cmath>

QPointF PathGradient::centroid(const QPolygonF& outline) {
    double area = 0;
    double x = 0;
    double y = 0;
    const int n = int(outline.size());
    for (int i = 0; i < n; ++i) {
        const QPointF a = outline[i];
        const QPointF b = outline[(i + 1) % n];
        const double cross = a.x() * b.y() - b.x() * a.y();
        area += cross;
        x += (a.x() + b.x()) * cross;
        y += (a.y() + b.y()) * cross;
    }
    if (std::abs(area) > 1e-9)
        return QPointF(x / (3 * area), y / (3 * area));
    QPointF mean;
    for (const QPointF& p : outline)
        mean += p;
    return n > 0 ? mean / n : mean;
}

QImage PathGradient::render(const QPolygonF& outline, QPointF centre, QColor centreColor,
                            QColor surroundColor, const QRect& clip, QPoint* origin) {
    const QRect bounds = outline.boundingRect().toAlignedRect().intersected(clip);
    *origin = bounds.topLeft();
    if (bounds.isEmpty() || outline.size() < 2)
        return QImage();
    QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-bounds.topLeft());
    // Triangles that share an edge are written, not blended, so no seam shows; aliased edges
    // do not show either because the outline's colour is the surround colour.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(Qt::NoPen);
    const int n = int(outline.size());
    for (int i = 0; i < n; ++i) {
        const QPointF a = outline[i];
        const QPointF b = outline[(i + 1) % n];
        const QPointF edge = b - a;
        const double lengthSquared = QPointF::dotProduct(edge, edge);
        if (lengthSquared < 1e-12)
            continue;
        // The gradient runs from the centre to the foot of the perpendicular on the edge's line.
        const double t = QPointF::dotProduct(centre - a, edge) / lengthSquared;
        const QPointF foot = a + edge * t;
        if (QPointF::dotProduct(foot - centre, foot - centre) < 1e-12)
            continue; // the centre lies on this edge: the triangle has no area
        QLinearGradient gradient(centre, foot);
        gradient.setColorAt(0, centreColor);
        gradient.setColorAt(1, surroundColor);
        painter.setBrush(gradient);
        painter.drawPolygon(QPolygonF({centre, a, b}));
    }
    return image;
}

void PathGradient::fill(QPainter& painter, const QPolygonF& outline, QPointF centre,
                        QColor centreColor, QColor surroundColor, const QRect& clip) {
    QPoint origin;
    const QImage image = render(outline, centre, centreColor, surroundColor, clip, &origin);
    if (!image.isNull())
        painter.drawImage(origin, image);
}
