#include "tools/samples/SampleArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

QImage transparent(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    return picture;
}

void smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

} // namespace

std::vector<QImage> SampleArt::sun(int size) {
    std::vector<QImage> frames;
    for (int frame = 0; frame < 2; ++frame) {
        QImage picture = transparent(size, size);
        QPainter p(&picture);
        smooth(p);
        p.translate(size / 2.0, size / 2.0);
        p.rotate(frame * 15.0);
        p.setPen(QPen(QColor(255, 190, 40), size / 24.0, Qt::SolidLine, Qt::RoundCap));
        for (int ray = 0; ray < 12; ++ray) {
            p.drawLine(QPointF(0, size * 0.30), QPointF(0, size * 0.46));
            p.rotate(30);
        }
        QRadialGradient body(QPointF(-size * 0.06, -size * 0.06), size * 0.3);
        body.setColorAt(0, QColor(255, 250, 200));
        body.setColorAt(1, QColor(255, 170, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawEllipse(QPointF(0, 0), size * 0.26, size * 0.26);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SampleArt::cloud(int width) {
    const int height = width / 2;
    QImage picture = transparent(width, height);
    QPainter p(&picture);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    const double w = width;
    p.drawEllipse(QRectF(w * 0.05, height * 0.45, w * 0.45, height * 0.5));
    p.drawEllipse(QRectF(w * 0.25, height * 0.12, w * 0.4, height * 0.7));
    p.drawEllipse(QRectF(w * 0.5, height * 0.3, w * 0.45, height * 0.62));
    p.setBrush(QColor(220, 228, 240, 200));
    p.drawEllipse(QRectF(w * 0.15, height * 0.7, w * 0.7, height * 0.28));
    return {picture};
}

std::vector<QImage> SampleArt::bird(int size) {
    std::vector<QImage> frames;
    const double lift[4] = {-0.35, -0.1, 0.2, -0.1};
    for (double wing : lift) {
        QImage picture = transparent(size, size);
        QPainter p(&picture);
        smooth(p);
        const double c = size / 2.0;
        QPainterPath path;
        path.moveTo(size * 0.08, c + wing * size * 0.6);
        path.quadTo(size * 0.3, c + wing * size * 0.2 - size * 0.1, c, c + size * 0.05);
        path.quadTo(size * 0.7, c + wing * size * 0.2 - size * 0.1, size * 0.92,
                    c + wing * size * 0.6);
        p.setPen(QPen(QColor(40, 40, 60), size / 14.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 60));
        p.drawEllipse(QPointF(c, c + size * 0.06), size * 0.07, size * 0.05);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SampleArt::rocket(int length) {
    std::vector<QImage> frames;
    const int width = length / 2;
    for (int frame = 0; frame < 2; ++frame) {
        QImage picture = transparent(width, length);
        QPainter p(&picture);
        smooth(p);
        const double w = width;
        const double l = length;
        QPainterPath flame;
        const double flameLength = frame == 0 ? 0.22 : 0.3;
        flame.moveTo(w * 0.35, l * 0.72);
        flame.quadTo(w * 0.5, l * (0.72 + flameLength * 1.4), w * 0.65, l * 0.72);
        flame.closeSubpath();
        QLinearGradient fire(0, l * 0.72, 0, l);
        fire.setColorAt(0, QColor(255, 240, 120));
        fire.setColorAt(1, QColor(255, 80, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(fire);
        p.drawPath(flame);
        QPainterPath body;
        body.moveTo(w * 0.5, 0);
        body.quadTo(w * 0.85, l * 0.2, w * 0.72, l * 0.72);
        body.lineTo(w * 0.28, l * 0.72);
        body.quadTo(w * 0.15, l * 0.2, w * 0.5, 0);
        QLinearGradient metal(0, 0, w, 0);
        metal.setColorAt(0, QColor(180, 185, 200));
        metal.setColorAt(0.45, QColor(250, 250, 255));
        metal.setColorAt(1, QColor(130, 135, 155));
        p.setBrush(metal);
        p.setPen(QPen(QColor(70, 70, 90), 1.2));
        p.drawPath(body);
        p.setBrush(QColor(220, 50, 50));
        p.drawPolygon(QPolygonF(
            {QPointF(w * 0.28, l * 0.5), QPointF(w * 0.02, l * 0.78), QPointF(w * 0.3, l * 0.7)}));
        p.drawPolygon(QPolygonF(
            {QPointF(w * 0.72, l * 0.5), QPointF(w * 0.98, l * 0.78), QPointF(w * 0.7, l * 0.7)}));
        p.setBrush(QColor(80, 170, 255));
        p.drawEllipse(QPointF(w * 0.5, l * 0.3), w * 0.13, w * 0.13);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SampleArt::planet(int size, QRgb body, QRgb ring) {
    QImage picture = transparent(size, size);
    QPainter p(&picture);
    smooth(p);
    const double c = size / 2.0;
    QRadialGradient shade(QPointF(c * 0.7, c * 0.7), size * 0.4);
    shade.setColorAt(0, QColor(body).lighter(150));
    shade.setColorAt(1, QColor(body).darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QPointF(c, c), size * 0.3, size * 0.3);
    p.setPen(QPen(QColor(ring), size / 22.0));
    p.setBrush(Qt::NoBrush);
    p.translate(c, c);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), size * 0.47, size * 0.12);
    return {picture};
}

std::vector<QImage> SampleArt::ball(int size, QRgb colour) {
    QImage picture = transparent(size, size);
    QPainter p(&picture);
    smooth(p);
    QRadialGradient shade(QPointF(size * 0.35, size * 0.35), size * 0.6);
    shade.setColorAt(0, QColor(255, 255, 255));
    shade.setColorAt(0.25, QColor(colour));
    shade.setColorAt(1, QColor(colour).darker(220));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return {picture};
}

std::vector<QImage> SampleArt::star(int size) {
    std::vector<QImage> frames;
    for (double scale : {1.0, 0.7, 0.45}) {
        QImage picture = transparent(size, size);
        QPainter p(&picture);
        smooth(p);
        const double c = size / 2.0;
        QPainterPath path;
        for (int k = 0; k < 10; ++k) {
            const double r = (k % 2 == 0 ? 0.48 : 0.2) * size * scale;
            const double a = M_PI / 5 * k - M_PI / 2;
            const QPointF point(c + r * std::cos(a), c + r * std::sin(a));
            if (k == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 240, 150));
        p.drawPath(path);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SampleArt::spark(int size) {
    QImage picture = transparent(size, size);
    QPainter p(&picture);
    smooth(p);
    QRadialGradient glow(QPointF(size / 2.0, size / 2.0), size / 2.0);
    glow.setColorAt(0, QColor(255, 255, 255, 255));
    glow.setColorAt(0.3, QColor(255, 220, 120, 220));
    glow.setColorAt(1, QColor(255, 120, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QRectF(0, 0, size, size));
    return {picture};
}

QImage SampleArt::skyGradient(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(70, 130, 220));
    sky.setColorAt(0.7, QColor(170, 210, 250));
    sky.setColorAt(1, QColor(230, 240, 250));
    p.fillRect(picture.rect(), sky);
    return picture;
}

QImage SampleArt::checkerTile(int size, QRgb a, QRgb b) {
    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(a);
    QPainter p(&picture);
    p.fillRect(QRect(0, 0, size / 2, size / 2), QColor(b));
    p.fillRect(QRect(size / 2, size / 2, size - size / 2, size - size / 2), QColor(b));
    return picture;
}

QImage SampleArt::starField(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter p(&picture);
    QLinearGradient night(0, 0, 0, height);
    night.setColorAt(0, QColor(5, 5, 25));
    night.setColorAt(1, QColor(30, 20, 60));
    p.fillRect(picture.rect(), night);
    QRandomGenerator random(2001); // fixed seed: the same sky on every build
    smooth(p);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < width * height / 900; ++k) {
        const int shade = 140 + static_cast<int>(random.bounded(116));
        p.setBrush(QColor(shade, shade, 255));
        p.drawEllipse(QPointF(random.bounded(width), random.bounded(height)),
                      0.6 + random.bounded(1.0), 0.6 + random.bounded(1.0));
    }
    return picture;
}

QImage SampleArt::hills(int width, int height, bool sky) {
    QImage picture = transparent(width, height);
    QPainter p(&picture);
    smooth(p);
    if (sky)
        p.fillRect(picture.rect(), QColor(200, 230, 255));
    QPainterPath back;
    back.moveTo(0, height * 0.6);
    back.cubicTo(width * 0.3, height * 0.35, width * 0.6, height * 0.75, width, height * 0.5);
    back.lineTo(width, height);
    back.lineTo(0, height);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 190, 110));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(0, height * 0.8);
    front.cubicTo(width * 0.4, height * 0.6, width * 0.7, height * 0.95, width, height * 0.75);
    front.lineTo(width, height);
    front.lineTo(0, height);
    p.setBrush(QColor(70, 150, 70));
    p.drawPath(front);
    return sky ? picture.convertToFormat(QImage::Format_RGB32) : picture;
}
