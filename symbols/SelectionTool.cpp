#include "symbols/SelectionTool.h"

#include "symbols/PaintStyle.h"

#include <algorithm>
#include <cstring>

void SelectionTool::pressRubberBand(QPoint point) {
    m_anchor = point;
    m_corner = point;
    m_hasRectangle = true;
    m_dragging = true;
}

void SelectionTool::dragRubberBand(QPoint point) {
    if (m_dragging)
        m_corner = point;
}

void SelectionTool::releaseRubberBand(QPoint point, QSize pictureSize) {
    if (!m_dragging)
        return;
    m_dragging = false;
    m_corner = QPoint(std::clamp(point.x(), 0, pictureSize.width()),
                      std::clamp(point.y(), 0, pictureSize.height()));
}

void SelectionTool::clearRectangle() {
    m_hasRectangle = false;
    m_dragging = false;
}

QRect SelectionTool::rectangle() const {
    if (!m_hasRectangle)
        return QRect();
    return QRect(
        QPoint(std::min(m_anchor.x(), m_corner.x()), std::min(m_anchor.y(), m_corner.y())),
        QSize(std::abs(m_corner.x() - m_anchor.x()), std::abs(m_corner.y() - m_anchor.y())));
}

QRect SelectionTool::floatingRect() const {
    return QRect(m_floatingAt + m_moveOffset, m_clipboard.size());
}

void SelectionTool::startMove(QPoint point) {
    m_downPoint = point;
    m_moveOffset = QPoint();
    m_moving = true;
}

void SelectionTool::dragMove(QPoint point) {
    if (m_moving)
        m_moveOffset = point - m_downPoint;
}

void SelectionTool::endMove(QPoint point) {
    if (!m_moving)
        return;
    m_floatingAt += point - m_downPoint;
    m_moveOffset = QPoint();
    m_moving = false;
    markFloating();
}

void SelectionTool::markFloating() {
    m_anchor = m_floatingAt;
    m_corner = m_floatingAt + QPoint(m_clipboard.width(), m_clipboard.height());
    m_hasRectangle = true;
}

bool SelectionTool::nudge(int dx, int dy) {
    if (!m_floating)
        return false;
    m_floatingAt += QPoint(dx, dy);
    markFloating();
    return true;
}

bool SelectionTool::copy(const QImage& picture) {
    const QRect area = rectangle().intersected(picture.rect());
    if (area.width() < 1 || area.height() < 1)
        return false;
    m_copied = area;
    m_clipboard = picture.copy(area).convertToFormat(QImage::Format_ARGB32);
    return true;
}

void SelectionTool::clearCopied(QImage& picture) const {
    const QRect area = m_copied.intersected(picture.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(picture.scanLine(y) + area.left() * 4, 0, std::size_t(area.width()) * 4);
}

bool SelectionTool::paste() {
    if (m_clipboard.isNull())
        return false;
    m_floating = true;
    m_floatingAt = QPoint(0, 0);
    m_moveOffset = QPoint();
    m_moving = false;
    markFloating();
    return true;
}

bool SelectionTool::drop(QImage& picture) {
    if (!m_floating)
        return false;
    if (m_moving)
        endMove(m_downPoint + m_moveOffset);
    m_floating = false;
    QPainter painter(&picture);
    PaintStyle::setHighQuality(painter);
    painter.drawImage(m_floatingAt, m_clipboard);
    return true;
}

void SelectionTool::drawPreview(QPainter& painter) const {
    if (m_floating) {
        painter.drawImage(floatingRect().topLeft(), m_clipboard);
        return;
    }
    const QRect area = rectangle();
    if (!m_hasRectangle || (area.width() == 0 && area.height() == 0))
        return;
    // A dotted focus frame: black dots on white, visible on any picture.
    const QPen white(Qt::white, 0);
    const QPen dotted(Qt::black, 0, Qt::DotLine);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    for (const QPen& pen : {white, dotted}) {
        painter.setPen(pen);
        painter.drawRect(QRectF(area));
    }
    painter.restore();
}
