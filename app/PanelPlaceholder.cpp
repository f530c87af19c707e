#include "app/PanelPlaceholder.h"

#include <QPainter>

PanelPlaceholder::PanelPlaceholder(QString name, QWidget* parent)
    : QWidget(parent), m_name(std::move(name)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelPlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xFB, 0xFC, 0xFD));
    painter.setPen(QColor(0xA8, 0xB3, 0xC0));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_name);
}
