#include "text/TextLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

TextLayout::TextLayout(const QFont& font, const QString& text) : m_font(font) {
    if (text.isEmpty()) return;
    const QFontMetricsF metrics(font);
    // The padding is a sixth of the em size at each end of a line.
    const qreal em = font.pixelSize() > 0 ? qreal(font.pixelSize()) : metrics.height();
    const qreal padding = em / 6.0;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList parts = text.split(lineBreak);
    qreal widest = 0;
    qreal top = 0;
    for (const QString& part : parts) {
        m_lines.append(Line{part, QPointF(padding, top + metrics.ascent())});
        widest = std::max(widest, metrics.horizontalAdvance(part));
        top += metrics.lineSpacing();
    }
    m_size = QSizeF(widest + 2 * padding, top);
}

QSize TextLayout::wholePixelSize() const {
    return QSize(static_cast<int>(m_size.width()), static_cast<int>(m_size.height()));
}

void TextLayout::draw(QPainter& painter, QPointF origin) const {
    painter.setFont(m_font);
    for (const Line& line : m_lines)
        painter.drawText(origin + line.baseline, line.text);
}

void TextLayout::addToPath(QPainterPath& path, QPointF origin) const {
    for (const Line& line : m_lines)
        path.addText(origin + line.baseline, m_font, line.text);
}
