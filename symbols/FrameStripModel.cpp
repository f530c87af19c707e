#include "symbols/FrameStripModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

FrameStripModel::FrameStripModel(FrameLists& frames, std::function<void(int)> notify)
    : m_frames(frames), m_notify(std::move(notify)) {
    syncSelection();
}

void FrameStripModel::setClientSize(QSize size) {
    m_client = size;
    refresh();
}

int FrameStripModel::scrollRange() const {
    const int visible = m_client.width() / kCell + 1;
    const int range = (m_frames.count() - visible + 1) * kCell;
    return range < 1 ? 0 : range;
}

void FrameStripModel::setScroll(int position) {
    m_scroll = std::clamp(position, 0, scrollRange());
}

QRect FrameStripModel::cell(int index) const {
    const int shift = scrollRange() > 0 ? kScrollShift : 0;
    const int left = kCell * index - m_scroll + kInsetX + shift;
    const int right = kCell * (index + 1) - m_scroll - kInsetX + shift;
    return QRect(left, kInsetY, right - left, kCell - 2 * kInsetY);
}

void FrameStripModel::syncSelection() {
    m_selected.resize(static_cast<std::size_t>(m_frames.count()), 0);
    if (m_current >= m_frames.count())
        m_current = -1;
    rebuildSelectedList();
}

void FrameStripModel::refresh() {
    syncSelection();
    setScroll(m_scroll);
}

bool FrameStripModel::isSelected(int index) const {
    return index >= 0 && index < static_cast<int>(m_selected.size()) &&
           m_selected[static_cast<std::size_t>(index)];
}

void FrameStripModel::rebuildSelectedList() {
    m_selectedList.clear();
    for (std::size_t i = 0; i < m_selected.size(); ++i)
        if (m_selected[i])
            m_selectedList.push_back(static_cast<int>(i));
}

void FrameStripModel::clearSelection() {
    std::fill(m_selected.begin(), m_selected.end(), 0);
}

void FrameStripModel::makeCurrent(int index) {
    m_current = index;
    if (m_notify)
        m_notify(index);
}

void FrameStripModel::selectIndex(int index) {
    syncSelection();
    if (index < 0 || index >= m_frames.count())
        return;
    clearSelection();
    m_selected[static_cast<std::size_t>(index)] = 1;
    rebuildSelectedList();
    makeCurrent(index);
}

void FrameStripModel::removeSelected() {
    syncSelection();
    if (m_frames.count() > 0 && m_aboutToChange)
        m_aboutToChange();
    for (int i = m_frames.count() - 1; i >= 0; --i) { // from the end: indexes stay valid
        if (!m_selected[static_cast<std::size_t>(i)])
            continue;
        const auto at = static_cast<std::ptrdiff_t>(i);
        m_frames.edited.erase(m_frames.edited.begin() + at);
        m_frames.added.erase(m_frames.added.begin() + at);
        m_frames.flags.erase(m_frames.flags.begin() + at);
        m_selected.erase(m_selected.begin() + at);
    }
    clearSelection();
    const int next = m_frames.count() > 0 ? 0 : -1;
    if (next == 0)
        m_selected[0] = 1;
    rebuildSelectedList();
    setScroll(m_scroll);
    makeCurrent(next);
}

int FrameStripModel::cellAt(QPoint p, bool anyHeight) const {
    for (int i = 0; i < m_frames.count(); ++i) {
        const QRect box = cell(i);
        if (box.right() < 0)
            continue; // left of the client area
        if (box.left() >= m_client.width())
            break; // right of it: every later cell too
        const bool inside =
            anyHeight ? (p.x() >= box.left() && p.x() <= box.right()) : box.contains(p);
        if (inside)
            return i;
    }
    return -1;
}

int FrameStripModel::insertionIndex(QPoint p) const {
    for (int i = 0; i < m_frames.count(); ++i)
        if (p.x() < cell(i).center().x())
            return i;
    return m_frames.count();
}

int FrameStripModel::insertFrames(int index, const std::vector<QImage>& pictures) {
    syncSelection();
    if (pictures.empty())
        return 0;
    if (m_aboutToChange)
        m_aboutToChange();
    const auto at = static_cast<std::ptrdiff_t>(std::clamp(index, 0, m_frames.count()));
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const auto position = at + static_cast<std::ptrdiff_t>(k);
        m_frames.added.insert(m_frames.added.begin() + position, pictures[k].copy());
        m_frames.edited.insert(m_frames.edited.begin() + position, pictures[k].copy());
        m_frames.flags.insert(m_frames.flags.begin() + position, 0);
        m_selected.insert(m_selected.begin() + position, 0);
    }
    setScroll(m_scroll);
    selectIndex(int(at));
    return int(pictures.size());
}

void FrameStripModel::press(QPoint p, bool ctrl, bool shift) {
    syncSelection();
    const int hit = cellAt(p, false);
    bool rangeSelection = false;
    if (hit >= 0) {
        const auto i = static_cast<std::size_t>(hit);
        const QRect box = cell(hit);
        m_dropTarget = hit;
        m_dropSide = p.x() > box.center().x() ? 1 : 0;
        if (!m_selected[i] && !ctrl && !shift)
            clearSelection();
        if (!shift) {
            m_selected[i] = ctrl ? !m_selected[i] : 1;
            if (m_selected[i])
                makeCurrent(hit);
        } else if (ctrl) {
            m_selected[i] = 1;
            makeCurrent(hit);
        } else if (m_current >= 1) {
            rangeSelection = true;
        } else {
            // No range to extend (the current frame is the first or none): only this frame.
            clearSelection();
            m_selected[i] = 1;
            makeCurrent(hit);
        }
        m_pressPoint = p;
        m_buttonDown = true;
    }
    rebuildSelectedList();
    if (hit < 0) {
        clearSelection();
        rebuildSelectedList();
        m_rubber = true;
        m_rubberStart = m_rubberEnd = p;
    }
    if (rangeSelection) { // Shift alone: from the current frame to the pressed one
        clearSelection();
        for (int k = std::min(m_current, hit); k <= std::max(m_current, hit); ++k)
            m_selected[static_cast<std::size_t>(k)] = 1;
        rebuildSelectedList();
    }
}

void FrameStripModel::move(QPoint p) {
    if (m_buttonDown &&
        std::sqrt(std::abs(p.x() - m_pressPoint.x()) + std::abs(p.y() - m_pressPoint.y())) > 5.0) {
        m_dragging = true;
        m_buttonDown = false;
    }
    if (m_rubber) {
        // The rubber band selects every cell it touches.
        m_rubberEnd = p;
        const QRect band = QRect(m_rubberStart, m_rubberEnd).normalized();
        for (int i = 0; i < m_frames.count(); ++i)
            m_selected[static_cast<std::size_t>(i)] = band.intersects(cell(i)) ? 1 : 0;
        rebuildSelectedList();
    }
    if (m_dragging) {
        const int target = cellAt(p, true);
        if (target >= 0) {
            m_dropTarget = target;
            m_dropSide = p.x() > cell(target).center().x() ? 1 : 0;
        }
    }
}

void FrameStripModel::release() {
    if (!m_dragging) {
        m_buttonDown = false;
        m_rubber = false;
        return;
    }
    // A drag whose selection became empty (a Ctrl press on the only selected frame) moves
    // nothing and leaves the current frame where it is.
    if (!m_selectedList.empty() && m_aboutToChange)
        m_aboutToChange();
    const int insertBefore = m_dropTarget + (m_dropSide == 1 ? 1 : 0); // in the old order
    int insert = insertBefore;
    // Take the selected frames out (A and B together), in the order of the selected list.
    std::vector<QImage> takenEdited;
    std::vector<QImage> takenAdded;
    const std::vector<int> order = m_selectedList;
    int removed = 0;
    for (int index : order) {
        const auto at = static_cast<std::ptrdiff_t>(index - removed);
        takenEdited.push_back(m_frames.edited[static_cast<std::size_t>(at)]);
        takenAdded.push_back(m_frames.added[static_cast<std::size_t>(at)]);
        m_frames.edited.erase(m_frames.edited.begin() + at);
        m_frames.added.erase(m_frames.added.begin() + at);
        if (index < insertBefore) // stood before the insert position
            --insert;
        ++removed;
    }
    insert = std::clamp(insert, 0, static_cast<int>(m_frames.edited.size()));
    clearSelection();
    for (std::size_t k = 0; k < takenEdited.size(); ++k, ++insert) {
        const auto at = static_cast<std::ptrdiff_t>(insert);
        m_frames.edited.insert(m_frames.edited.begin() + at, takenEdited[k]);
        m_frames.added.insert(m_frames.added.begin() + at, takenAdded[k]);
        m_selected[static_cast<std::size_t>(insert)] = 1;
        makeCurrent(insert);
    }
    rebuildSelectedList();
    m_dragging = false;
    m_buttonDown = false;
    m_rubber = false;
}

bool FrameStripModel::key(int key) {
    syncSelection();
    switch (key) {
    case Qt::Key_Delete:
        removeSelected();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (m_current < 0) {
            if (m_frames.count() > 0)
                selectIndex(0);
            return true;
        }
        const bool left = key == Qt::Key_Left;
        const int next = m_current + (left ? -1 : 1);
        if (next < 0 || next >= m_frames.count())
            return true;
        const QRect box = cell(next);
        if (left && box.left() < 0)
            setScroll(m_scroll - kCell);
        else if (!left && box.right() >= m_client.width())
            setScroll(m_scroll + kCell);
        clearSelection();
        makeCurrent(next);
        m_selected[static_cast<std::size_t>(next)] = 1;
        rebuildSelectedList();
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

void FrameStripModel::wheel(int delta) {
    if (delta == 0)
        return;
    setScroll(m_scroll - kWheelStep * (delta > 0 ? 1 : -1));
}

std::optional<QRect> FrameStripModel::rubberBand() const {
    if (!m_rubber)
        return std::nullopt;
    return QRect(m_rubberStart, m_rubberEnd).normalized();
}
