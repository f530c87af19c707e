#include "controls/AngleDial.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

AngleDial::AngleDial(QWidget* parent) : QWidget(parent) {}

double AngleDial::angleAt(QPointF centre, QPointF p) {
    const double cx = centre.x(), cy = centre.y(), x = p.x(), y = p.y();
    if (x == cx)
        return y <= cy ? 0.0 : kPi;
    const double a = std::atan(std::abs(cy - y) / std::abs(x - cx));
    if (x > cx)
        return y <= cy ? kPi / 2 - a : kPi / 2 + a;
    return y >= cy ? 3 * kPi / 2 - a : 3 * kPi / 2 + a;
}

int AngleDial::degreesOf(double radians) {
    return static_cast<int>(radians * 180.0 / kPi);
}

void AngleDial::setAngle(double radians) {
    m_angle = radians;
    update();
}

QPointF AngleDial::centre() const {
    return QPointF(width() / 2.0, height() / 2.0);
}

void AngleDial::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centre();
    const double r = std::min(width(), height()) / 2.0 - 3;
    QRadialGradient face(c, r);
    face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(1, QColor(0xD5, 0xDC, 0xE5));
    painter.setBrush(face);
    painter.setPen(QPen(QColor(0x34, 0x46, 0x5A), 1.5));
    painter.drawEllipse(c, r, r);
    // The marker sits on the knob's circle at (cx + r sin a, cy - r cos a).
    const QPointF marker(c.x() + r * std::sin(m_angle), c.y() - r * std::cos(m_angle));
    painter.setPen(QPen(QColor(0x2D, 0x7F, 0xF9), 2));
    painter.drawLine(c, marker);
    painter.setBrush(QColor(0x2D, 0x7F, 0xF9));
    painter.drawEllipse(marker, 3.5, 3.5);
}

void AngleDial::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_held)
        return;
    m_held = true;
    emit pressed();
}

void AngleDial::mouseMoveEvent(QMouseEvent* event) {
    if (!m_held || !(event->buttons() & Qt::LeftButton))
        return;
    setAngle(angleAt(centre(), event->position()));
    emit moved(degreesOf(m_angle));
}

void AngleDial::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_held)
        return;
    m_held = false;
    emit released(degreesOf(m_angle));
}
