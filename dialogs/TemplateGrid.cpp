#include "dialogs/TemplateGrid.h"

#include <algorithm>

TemplateGrid::TemplateGrid(std::vector<int> frameCounts)
    : m_frameCounts(std::move(frameCounts)), m_currentFrames(m_frameCounts.size(), 0) {
    for (int& frames : m_frameCounts)
        frames = std::max(frames, 1);
}

void TemplateGrid::setClientSize(QSize client) {
    m_client = client;
    setScrollOffset(m_scroll);
}

bool TemplateGrid::fitView(QSize view, int barWidth) {
    setClientSize(view);
    if (scrollRange() > 0)
        setClientSize(QSize(std::max(0, view.width() - barWidth), view.height()));
    return scrollBarShown();
}

int TemplateGrid::columns() const {
    return std::max(0, m_client.width() / kCellSize.width());
}

int TemplateGrid::rows() const {
    const int perRow = columns();
    return perRow > 0 ? (count() + perRow - 1) / perRow : 0;
}

int TemplateGrid::scrollRange() const {
    // One empty row more than the templates need, as the grid has always scrolled.
    return (rows() + 1) * kCellSize.height() - m_client.height();
}

void TemplateGrid::setScrollOffset(int offset) {
    m_scroll = std::clamp(offset, 0, std::max(0, scrollRange()));
}

QRect TemplateGrid::cellRect(int index) const {
    const int perRow = columns();
    if (perRow <= 0 || index < 0 || index >= count())
        return QRect();
    const int column = index % perRow;
    const int row = index / perRow;
    const int w = kCellSize.width();
    const int h = kCellSize.height();
    return QRect(QPoint(w * column + kInset, h * row - m_scroll + kInset),
                 QPoint(w * (column + 1) - kInset - 1, h * (row + 1) - m_scroll - kInset - 1));
}

QRect TemplateGrid::previewRect(int index) const {
    const QRect cell = cellRect(index);
    return cell.isEmpty() ? cell : cell.adjusted(0, 0, 0, -kNameHeight);
}

QRect TemplateGrid::nameRect(int index) const {
    const QRect cell = cellRect(index);
    return cell.isEmpty()
               ? cell
               : QRect(cell.left(), cell.bottom() - kNameHeight + 1, cell.width(), kNameHeight);
}

int TemplateGrid::hitTest(QPoint p) const {
    for (int index = 0; index < count(); ++index) {
        const QRect r = cellRect(index);
        if (r.isEmpty())
            return -1;
        if (r.bottom() < 0)
            continue;
        if (r.top() > m_client.height() - kHitBottomMargin)
            break;
        if (r.contains(p))
            return index;
    }
    return -1;
}

void TemplateGrid::setSelected(int index) {
    m_selected = index >= 0 && index < count() ? index : -1;
}

bool TemplateGrid::setHovered(int index) {
    const int hovered = index >= 0 && index < count() ? index : -1;
    if (hovered == m_hovered)
        return false;
    m_hovered = hovered;
    return true;
}

void TemplateGrid::tick() {
    for (std::size_t i = 0; i < m_currentFrames.size(); ++i)
        m_currentFrames[i] = (m_currentFrames[i] + 1) % m_frameCounts[i];
}
