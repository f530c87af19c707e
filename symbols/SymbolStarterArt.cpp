#include "symbols/SymbolStarterArt.h"

#include "symbols/PaintStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

QImage transparent(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    return picture;
}

// The end of a limb of `length` leaving `from` at `degrees` from straight down (positive
// swings forward, to the right).
QPointF limbEnd(QPointF from, double length, double degrees) {
    const double radians = degrees * kPi / 180.0;
    return from + QPointF(std::sin(radians) * length, std::cos(radians) * length);
}

// One two-part limb (upper and lower) with round ends.
void drawLimb(QPainter& p, QPointF root, double upper, double upperAngle, double lower,
              double lowerAngle, const QColor& colour, double width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF joint = limbEnd(root, upper, upperAngle);
    const QPointF end = limbEnd(joint, lower, lowerAngle);
    p.drawPolyline(QPolygonF({root, joint, end}));
}

QPainterPath starPath(QPointF centre, double outer, double inner, double degrees) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = (degrees + i * 36.0 - 90.0) * kPi / 180.0;
        const QPointF point = centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

} // namespace

std::vector<QImage> SymbolStarterArt::walkingFigure() {
    std::vector<QImage> frames;
    const QColor skin(240, 196, 160), shirt(52, 120, 200), trousers(48, 56, 84);
    const QColor farShade(0, 0, 0, 60);
    for (int frame = 0; frame < 8; ++frame) {
        QImage picture = transparent(80, 110);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        const double t = frame * 2.0 * kPi / 8.0;
        // The body rises a little while a leg passes under it.
        const double bob = -2.5 * std::abs(std::cos(t));
        const QPointF hip(40, 64 + bob), shoulder(40, 38 + bob);
        auto leg = [&](double phase, const QColor& colour) {
            const double thigh = 26.0 * std::sin(phase);
            const double knee = thigh - 38.0 * std::max(0.0, -std::cos(phase));
            drawLimb(p, hip, 22, thigh, 22, knee, colour, 8);
            // The foot points forward from the ankle.
            const QPointF ankle = limbEnd(limbEnd(hip, 22, thigh), 22, knee);
            p.drawLine(ankle, ankle + QPointF(7, 0));
        };
        auto arm = [&](double phase, const QColor& colour) {
            const double upper = -24.0 * std::sin(phase);
            drawLimb(p, shoulder, 15, upper, 14, upper + 28.0, colour, 6.5);
        };
        leg(t + kPi, trousers.darker(140));
        arm(t + kPi, shirt.darker(150));
        // Torso and head.
        p.setPen(QPen(shirt, 13, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(shoulder, hip);
        leg(t, trousers);
        arm(t, shirt.lighter(110));
        p.setPen(QPen(farShade, 1));
        p.setBrush(skin);
        p.drawEllipse(QPointF(41, 21 + bob), 11, 11);
        p.setBrush(QColor(70, 50, 40));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(46, 19 + bob), 1.6, 1.6);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::spinningStar() {
    std::vector<QImage> frames;
    // A five-pointed star repeats every 72 degrees: 8 steps of 9 degrees loop seamlessly.
    for (int frame = 0; frame < 8; ++frame) {
        QImage picture = transparent(96, 96);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        const QPointF centre(48, 50);
        QRadialGradient fill(centre, 44);
        fill.setColorAt(0, QColor(255, 250, 190));
        fill.setColorAt(0.55, QColor(255, 206, 40));
        fill.setColorAt(1, QColor(245, 140, 10));
        p.setBrush(fill);
        p.setPen(QPen(QColor(200, 100, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(starPath(centre, 44, 19, frame * 9.0));
        // A glint that travels round the centre.
        const double angle = frame * 2.0 * kPi / 8.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(centre + QPointF(std::cos(angle) * 9, std::sin(angle) * 9), 3.5, 3.5);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::bouncingBall() {
    std::vector<QImage> frames;
    const double radius = 15, floor = 96;
    for (int frame = 0; frame < 8; ++frame) {
        QImage picture = transparent(64, 100);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        const double s = frame / 8.0;
        const double height = 4.0 * s * (1.0 - s); // 0 on the floor, 1 at the top
        // Squashed where it meets the floor, stretched a little just after.
        const double squash = frame == 0 ? 0.72 : (frame == 1 || frame == 7 ? 1.08 : 1.0);
        const double ry = radius * squash, rx = radius / std::sqrt(squash);
        const QPointF centre(32, floor - ry - height * 62.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, int(90 - 55 * height)));
        p.drawEllipse(QPointF(32, floor), 16 - 6 * height, 3.5 - 1.5 * height);
        QRadialGradient fill(centre + QPointF(-rx * 0.35, -ry * 0.4), radius * 1.5);
        fill.setColorAt(0, QColor(255, 150, 130));
        fill.setColorAt(0.5, QColor(226, 40, 40));
        fill.setColorAt(1, QColor(140, 10, 20));
        p.setBrush(fill);
        p.drawEllipse(centre, rx, ry);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::butterfly() {
    std::vector<QImage> frames;
    for (int frame = 0; frame < 6; ++frame) {
        QImage picture = transparent(96, 80);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        // The wings close and open: their width shrinks towards the body and back.
        const double open = 0.2 + 0.8 * std::abs(std::cos(frame * kPi / 6.0));
        const double body = 48;
        for (int side : {-1, 1}) {
            p.save();
            p.translate(body, 0);
            p.scale(side * open, 1.0);
            QLinearGradient upper(0, 0, 44, 0);
            upper.setColorAt(0, QColor(120, 40, 160));
            upper.setColorAt(1, QColor(240, 120, 40));
            p.setPen(QPen(QColor(60, 20, 70), 1.5));
            p.setBrush(upper);
            p.drawEllipse(QRectF(2, 8, 42, 34));
            p.setBrush(QColor(250, 170, 60));
            p.drawEllipse(QRectF(4, 40, 30, 26));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 210));
            p.drawEllipse(QPointF(30, 22), 5, 5);
            p.restore();
        }
        p.setPen(QPen(QColor(40, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(body, 14), QPointF(body - 9, 3));
        p.drawLine(QPointF(body, 14), QPointF(body + 9, 3));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 36, 36));
        p.drawEllipse(QPointF(body, 38), 4, 25);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::blinkingFace() {
    std::vector<QImage> frames;
    // The eyes look left, ahead and right, then blink.
    const double openness[6] = {1.0, 1.0, 1.0, 0.45, 0.08, 0.45};
    const double gaze[6] = {-2.5, 0, 2.5, 1, 0, -1};
    for (int frame = 0; frame < 6; ++frame) {
        const double eyes = openness[frame];
        QImage picture = transparent(90, 90);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        QRadialGradient fill(QPointF(36, 32), 50);
        fill.setColorAt(0, QColor(255, 240, 120));
        fill.setColorAt(1, QColor(250, 190, 20));
        p.setPen(QPen(QColor(190, 120, 0), 2.5));
        p.setBrush(fill);
        p.drawEllipse(QPointF(45, 45), 41, 41);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 40, 20));
        for (double x : {31.0, 59.0})
            p.drawEllipse(QPointF(x + gaze[frame], 36), 5.5, std::max(1.2, 8.0 * eyes));
        p.setPen(QPen(QColor(120, 50, 10), 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(24, 30, 42, 36), 200 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 120, 100, 110));
        p.drawEllipse(QPointF(20, 56), 7, 4.5);
        p.drawEllipse(QPointF(70, 56), 7, 4.5);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::flame() {
    std::vector<QImage> frames;
    // Sideways sway of the tip and width of the body per frame: a flicker that loops.
    const double sway[6] = {0, 5, 8, 3, -4, -6};
    const double width[6] = {22, 21, 19, 22, 24, 23};
    for (int frame = 0; frame < 6; ++frame) {
        QImage picture = transparent(64, 96);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        auto tongue = [&](double scale, const QColor& inner, const QColor& outer) {
            const double w = width[frame] * scale, tipX = 32 + sway[frame] * scale;
            const double base = 90, top = 90 - 80 * scale;
            QPainterPath path;
            path.moveTo(32, base);
            path.cubicTo(32 - w * 1.4, base - 8, 32 - w, top + 40 * scale, tipX, top);
            path.cubicTo(32 + w, top + 40 * scale, 32 + w * 1.4, base - 8, 32, base);
            QLinearGradient fill(0, top, 0, base);
            fill.setColorAt(0, outer);
            fill.setColorAt(1, inner);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawPath(path);
        };
        tongue(1.0, QColor(250, 120, 20), QColor(220, 40, 10, 200));
        tongue(0.62, QColor(255, 230, 90), QColor(255, 160, 30));
        tongue(0.3, QColor(255, 255, 230), QColor(255, 240, 150));
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::wavingFlag() {
    std::vector<QImage> frames;
    for (int frame = 0; frame < 8; ++frame) {
        QImage picture = transparent(100, 80);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        p.setPen(QPen(QColor(110, 80, 50), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 6), QPointF(8, 76));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 170, 60));
        p.drawEllipse(QPointF(8, 6), 3.5, 3.5);
        // The cloth's edges follow one travelling wave; the amplitude grows away from the pole.
        const double phase = frame * 2.0 * kPi / 8.0;
        auto wave = [&](double x) {
            const double along = (x - 10) / 84.0;
            return 5.0 * along * std::sin(along * 2.0 * kPi * 1.2 - phase);
        };
        QPainterPath cloth;
        cloth.moveTo(10, 10 + wave(10));
        for (double x = 12; x <= 94; x += 2)
            cloth.lineTo(x, 10 + wave(x));
        for (double x = 94; x >= 10; x -= 2)
            cloth.lineTo(x, 48 + wave(x));
        cloth.closeSubpath();
        QLinearGradient fill(10, 0, 94, 0);
        fill.setColorAt(0, QColor(20, 150, 140));
        fill.setColorAt(1, QColor(40, 190, 170));
        p.setBrush(fill);
        p.drawPath(cloth);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawEllipse(QPointF(46, 29 + wave(46)), 9, 9);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<QImage> SymbolStarterArt::beatingHeart() {
    std::vector<QImage> frames;
    const double scales[6] = {0.86, 1.0, 0.92, 0.98, 0.88, 0.84};
    for (double scale : scales) {
        QImage picture = transparent(80, 72);
        QPainter p(&picture);
        PaintStyle::setHighQuality(p);
        p.translate(40, 38);
        p.scale(scale, scale);
        QPainterPath heart;
        heart.moveTo(0, 30);
        heart.cubicTo(-40, 4, -36, -30, -16, -30);
        heart.cubicTo(-6, -30, 0, -22, 0, -14);
        heart.cubicTo(0, -22, 6, -30, 16, -30);
        heart.cubicTo(36, -30, 40, 4, 0, 30);
        QRadialGradient fill(QPointF(-10, -14), 44);
        fill.setColorAt(0, QColor(255, 130, 150));
        fill.setColorAt(1, QColor(200, 20, 60));
        p.setPen(QPen(QColor(140, 10, 40), 2));
        p.setBrush(fill);
        p.drawPath(heart);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QPointF(-16, -16), 5, 7);
        frames.push_back(picture);
    }
    return frames;
}

std::vector<std::vector<QImage>> SymbolStarterArt::all() {
    return {walkingFigure(), spinningStar(), bouncingBall(), butterfly(),
            blinkingFace(),  flame(),        wavingFlag(),   beatingHeart()};
}
