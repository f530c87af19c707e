#include "symbols/ui/ColorButtonChooser.h"

#include "document/ColorRef.h"

#include <QColorDialog>
#include <QPainter>
#include <QResizeEvent>

ColorButtonChooser::ColorButtonChooser(QWidget* parent)
    : ColorChooser(parent), m_button(new QToolButton(this)) {
    m_button->setToolTip(tr("Color"));
    m_button->setAutoRaise(false);
    m_ask = [](const QColor& initial, QWidget* owner) {
        return QColorDialog::getColor(initial, owner, tr("Color"));
    };
    connect(m_button, &QToolButton::clicked, this, &ColorButtonChooser::choose);
    resize(sizeHint());
    showSwatch();
}

void ColorButtonChooser::setColor(std::uint32_t colorRef) {
    m_color = colorRef & 0xFFFFFF;
    showSwatch();
}

void ColorButtonChooser::choose() {
    const QColor chosen = m_ask(ColorRef::toColor(m_color), this);
    if (!chosen.isValid())
        return;
    setColor(ColorRef::fromColor(chosen));
    emit colorChosen(m_color);
}

void ColorButtonChooser::resizeEvent(QResizeEvent* event) {
    ColorChooser::resizeEvent(event);
    m_button->setGeometry(rect());
    showSwatch();
}

void ColorButtonChooser::showSwatch() {
    const QSize swatch(std::max(8, width() - 10), std::max(8, height() - 10));
    QPixmap pixmap(swatch);
    pixmap.fill(ColorRef::toColor(m_color));
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x33, 0x41, 0x4e));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    painter.end();
    m_button->setIconSize(swatch);
    m_button->setIcon(QIcon(pixmap));
}
