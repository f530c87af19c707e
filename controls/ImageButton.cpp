#include "controls/ImageButton.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

const QColor kHover(0xDD, 0xE8, 0xF7);
const QColor kPressed(0xC3, 0xD6, 0xF2);
const QColor kText(0x34, 0x46, 0x5A);

} // namespace

ImageButton::ImageButton(const QString& picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void ImageButton::setPicture(const QString& picture) {
    if (picture == m_picture)
        return;
    m_picture = picture;
    update();
}

QSize ImageButton::sizeHint() const {
    return QSize(24, 24);
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (isDown() || isChecked())
        painter.setBrush(kPressed);
    else if (m_hovered && isEnabled())
        painter.setBrush(kHover);
    else
        painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(box, 4, 4);
    if (!isEnabled())
        painter.setOpacity(0.35);
    if (!m_picture.isEmpty()) {
        QSvgRenderer svg(m_picture);
        const int side = std::min(width(), height()) - (width() > 20 ? 4 : 0);
        const QRectF target((width() - side) / 2.0, (height() - side) / 2.0, side, side);
        svg.render(&painter, target);
    }
    if (!text().isEmpty()) {
        painter.setPen(kText);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}

void ImageButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
