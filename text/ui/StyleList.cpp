#include "text/ui/StyleList.h"

#include "text/StyledTextRenderer.h"
#include "text/ui/TextPanelModel.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QColor kBackground(0xFF, 0xFF, 0xFF);
const QColor kSelected(0xDD, 0xE8, 0xF7);
const QColor kHoverFrame(180, 180, 200);
const QColor kEdge(0x9A, 0xA6, 0xB4);

} // namespace

StyleList::StyleList(TextPanelModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_scrollBar(new QScrollBar(Qt::Vertical, this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollBar->setSingleStep(TextPanelModel::kCellHeight / 4);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { update(); });
}

int StyleList::scrollOffset() const {
    return m_scrollBar->isVisible() ? m_scrollBar->value() : 0;
}

void StyleList::resizeEvent(QResizeEvent*) {
    const int barWidth = m_scrollBar->sizeHint().width();
    const int range = std::max(0, TextPanelModel::contentHeight() + 2 - height());
    m_scrollBar->setGeometry(width() - barWidth - 1, 1, barWidth, std::max(0, height() - 2));
    m_scrollBar->setRange(0, range);
    m_scrollBar->setPageStep(std::max(1, height()));
    m_scrollBar->setVisible(range > 0);
}

void StyleList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int scroll = scrollOffset();
    for (int position = 0; position < TextPanelModel::kStyleCount; ++position) {
        const QRect cell = TextPanelModel::cellRect(position, scroll).translated(1, 1);
        if (!cell.intersects(inside))
            continue;
        painter.save();
        painter.setClipRect(cell.intersected(inside));
        if (position == m_model.selectedPosition())
            painter.fillRect(cell, kSelected);
        StyledTextRenderer::drawTransformed(painter, TextPanelModel::preview(position, cell), 0.0,
                                            1.0);
        painter.restore();
        if (position == m_model.hoveredPosition()) {
            painter.save();
            painter.setClipRect(inside);
            painter.setPen(kHoverFrame);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            painter.drawRect(cell.adjusted(1, 1, -2, -2));
            painter.restore();
        }
    }
    painter.setPen(kEdge);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void StyleList::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() - QPoint(1, 1);
    if (m_model.setHovered(TextPanelModel::positionAt(p, scrollOffset())))
        update();
}

void StyleList::leaveEvent(QEvent*) {
    if (m_model.setHovered(-1))
        update();
}

void StyleList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint() - QPoint(1, 1);
    const int position = TextPanelModel::positionAt(p, scrollOffset());
    if (position < 0)
        return;
    update();
    emit cellClicked(position);
}

void StyleList::wheelEvent(QWheelEvent* event) {
    if (m_scrollBar->isVisible())
        QCoreApplication::sendEvent(m_scrollBar, event);
}
