#include "controls/FlatSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kGroove(0x8C, 0x95, 0xA0);
const QColor kFilled(0x2D, 0x7F, 0xF9);
const QColor kKnob(0xFF, 0xFF, 0xFF);
const QColor kKnobEdge(0x34, 0x46, 0x5A);

} // namespace

FlatSlider::FlatSlider(int maximum, QWidget* parent)
    : QWidget(parent), m_maximum(std::max(maximum, 1)) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void FlatSlider::setPosition(int position) {
    m_position = std::clamp(position, 0, m_maximum);
    update();
}

int FlatSlider::positionAt(int x) const {
    const int radius = height() / 2;
    const int travel = std::max(1, width() - 2 * radius);
    const double fraction = static_cast<double>(x - radius) / travel;
    return std::clamp(static_cast<int>(fraction * m_maximum + 0.5), 0, m_maximum);
}

void FlatSlider::moveTo(int position) {
    position = std::clamp(position, 0, m_maximum);
    if (position == m_position)
        return;
    m_position = position;
    update();
    emit moved(position);
}

void FlatSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = height() / 2.0;
    const qreal travel = width() - 2 * radius;
    const qreal x = radius + travel * m_position / m_maximum;
    const QRectF groove(radius, radius - 1.5, travel, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGroove);
    painter.drawRoundedRect(groove, 1.5, 1.5);
    painter.setBrush(isEnabled() ? kFilled : kGroove);
    painter.drawRoundedRect(QRectF(radius, radius - 1.5, x - radius, 3), 1.5, 1.5);
    painter.setBrush(kKnob);
    painter.setPen(QPen(hasFocus() ? kFilled : kKnobEdge, 1.2));
    painter.drawEllipse(QPointF(x, radius), radius - 0.8, radius - 0.8);
}

void FlatSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_held)
        return;
    m_held = true;
    emit pressed();
    moveTo(positionAt(event->position().toPoint().x()));
}

void FlatSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_held && (event->buttons() & Qt::LeftButton))
        moveTo(positionAt(event->position().toPoint().x()));
}

void FlatSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_held)
        return;
    m_held = false;
    emit released();
}

void FlatSlider::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_held) {
        m_held = false;
        emit released();
    }
}

void FlatSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        moveTo(m_position - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        moveTo(m_position + 1);
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(m_maximum);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
