#include "symbols/SymbolLibraryGrid.h"

#include "symbols/SymbolLibrary.h"

#include <algorithm>

SymbolLibraryGrid::SymbolLibraryGrid(SymbolLibrary& library) : m_library(library) {}

void SymbolLibraryGrid::setViewSize(QSize size) {
    m_view = size;
    setScroll(m_scroll);
}

int SymbolLibraryGrid::columns() const {
    return std::max(0, m_view.width() / kCellSize);
}

int SymbolLibraryGrid::contentHeight() const {
    const int perRow = columns();
    if (perRow < 1)
        return 0;
    const int symbols = m_library.count();
    return (symbols / perRow + (symbols % perRow != 0 ? 1 : 0)) * kCellSize;
}

int SymbolLibraryGrid::scrollRange() const {
    // One spare row below the last symbol: the range always reaches an empty row.
    return std::max(0, contentHeight() + kCellSize - m_view.height());
}

bool SymbolLibraryGrid::scrollBarShown() const {
    return scrollRange() >= 1;
}

int SymbolLibraryGrid::setScroll(int scroll) {
    const int before = m_scroll;
    m_scroll = std::clamp(scroll, 0, scrollRange());
    return m_scroll - before;
}

void SymbolLibraryGrid::ensureVisible(int index) {
    const int perRow = columns();
    if (perRow < 1 || index < 0)
        return;
    const int top = index / perRow * kCellSize;
    if (top < m_scroll)
        setScroll(top);
    else if (top + kCellSize > m_scroll + m_view.height())
        setScroll(top + kCellSize - m_view.height());
}

QRect SymbolLibraryGrid::pictureRect(int index) const {
    const int perRow = std::max(1, columns());
    const int row = index / perRow;
    const int column = index % perRow;
    return QRect(column * kCellSize + kInset, row * kCellSize - m_scroll + kInset, kPictureSize,
                 kPictureSize);
}

int SymbolLibraryGrid::symbolAt(QPoint point) const {
    if (columns() < 1)
        return -1;
    for (int i = 0; i < m_library.count(); ++i) {
        const QRect cell = pictureRect(i);
        if (cell.top() + cell.height() < 0)
            continue;
        if (cell.top() > m_view.height() - kClickBottomMargin)
            break;
        if (cell.contains(point))
            return i;
    }
    return -1;
}

int SymbolLibraryGrid::symbolUnder(QPoint point) const {
    if (columns() < 1)
        return -1;
    for (int i = 0; i < m_library.count(); ++i)
        if (pictureRect(i).contains(point))
            return i;
    return -1;
}

std::vector<int> SymbolLibraryGrid::visibleSymbols() const {
    std::vector<int> visible;
    if (columns() < 1)
        return visible;
    const QRect view(QPoint(0, 0), m_view);
    for (int i = 0; i < m_library.count(); ++i) {
        const QRect cell = pictureRect(i);
        if (cell.top() >= m_view.height())
            break;
        if (cell.intersects(view))
            visible.push_back(i);
    }
    return visible;
}

int SymbolLibraryGrid::press(QPoint point) {
    m_dragArmed = false;
    m_dropTarget = -1;
    m_band = false;
    m_moves = 0;
    const int hit = symbolAt(point);
    if (hit >= 0) {
        if (!m_library.at(hit).selected)
            m_library.clearSelection();
        m_library.setSelected(hit, true);
        m_library.setCurrent(hit);
        m_dragArmed = true;
    } else if (m_multiple) {
        m_library.clearSelection();
        m_band = true;
        m_bandStart = m_bandEnd = point;
    }
    const int current = m_library.currentIndex();
    if (current < 0)
        return -1;
    m_chosen = {current};
    return current;
}

bool SymbolLibraryGrid::move(QPoint point) {
    if (m_band) {
        // Past the bottom the view scrolls down a row per move, and the band's fixed corner
        // moves up with the content (and the other way above the top margin).
        if (point.y() > m_view.height())
            m_bandStart.ry() -= scrollBy(kCellSize);
        else if (point.y() < kBandScrollTopMargin)
            m_bandStart.ry() -= scrollBy(-kCellSize);
        m_bandEnd = point;
        applyBand();
        return true;
    }
    if (!m_dragArmed)
        return false;
    const int target = symbolUnder(point);
    if (target >= 0) {
        const QRect cell = pictureRect(target);
        m_dropTarget = target;
        m_dropAfter = point.x() >= cell.left() + cell.width() / 2;
    }
    m_moves = (m_moves + 1) % 100;
    return m_moves % kRepaintEveryMoves == 0;
}

bool SymbolLibraryGrid::release() {
    bool moved = false;
    if (m_dragArmed && m_dropTarget >= 0) {
        for (int from : m_chosen) {
            const int now = m_library.moveSymbol(from, m_dropTarget, m_dropAfter);
            if (now != from) {
                moved = true;
                // The moved symbol stays the chosen one: selection flags and the current index
                // follow it rather than naming whatever now stands at its old place.
                m_library.selectIndex(now);
                m_chosen = {now};
            }
        }
    }
    m_dragArmed = false;
    m_dropTarget = -1;
    m_band = false;
    return moved;
}

int SymbolLibraryGrid::doubleClick(QPoint point) {
    const int hit = symbolAt(point);
    if (hit < 0)
        return -1;
    if (!m_library.at(hit).selected)
        m_library.clearSelection();
    m_library.setSelected(hit, true);
    m_library.setCurrent(hit);
    return hit;
}

bool SymbolLibraryGrid::wheel(int angleDelta) {
    // 120 units make one notch; the view moves against the wheel.
    return scrollBy(-angleDelta * kScrollStep / 120) != 0;
}

bool SymbolLibraryGrid::arrow(Arrow arrow) {
    const int symbols = m_library.count();
    const int perRow = columns();
    if (symbols == 0 || perRow < 1)
        return false;
    const int current = m_library.currentIndex();
    int next = current;
    if (current < 0) {
        next = 0;
    } else {
        switch (arrow) {
        case Arrow::Left:
            if (current % perRow > 0)
                next = current - 1;
            break;
        case Arrow::Right:
            if (current % perRow < perRow - 1 && current + 1 < symbols)
                next = current + 1;
            break;
        case Arrow::Up:
            if (current - perRow >= 0)
                next = current - perRow;
            break;
        case Arrow::Down:
            if (current + perRow < symbols)
                next = current + perRow;
            break;
        }
    }
    if (next == current)
        return false;
    m_library.selectIndex(next);
    ensureVisible(next);
    return true;
}

bool SymbolLibraryGrid::selectAllKey() {
    if (!m_multiple)
        return false;
    m_library.selectAll();
    return true;
}

std::optional<QRect> SymbolLibraryGrid::rubberBand() const {
    if (!m_band)
        return std::nullopt;
    return bandRect();
}

QRect SymbolLibraryGrid::bandRect() const {
    // Built from the corners' extremes: a QRect from two points normalizes off by one pixel
    // when the second point lies above or left of the first.
    return QRect(
        QPoint(std::min(m_bandStart.x(), m_bandEnd.x()), std::min(m_bandStart.y(), m_bandEnd.y())),
        QPoint(std::max(m_bandStart.x(), m_bandEnd.x()), std::max(m_bandStart.y(), m_bandEnd.y())));
}

void SymbolLibraryGrid::applyBand() {
    const QRect band = bandRect();
    for (int i = 0; i < m_library.count(); ++i)
        m_library.setSelected(i, band.intersects(pictureRect(i)));
}
