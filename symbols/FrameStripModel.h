#pragma once

#include "symbols/FrameLists.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>
#include <vector>

// FrameStripModel: the frame strip's rules without a window: one row of 108 x 108 cells, the
// selection with Ctrl and Shift, the current frame (every time the strip makes a frame current
// it tells its owner), reordering by dragging (lists A and B move together; the flag list is
// left as it is), removing the selected frames, the arrow keys, the wheel and the scroll range.
// The frames are the editor's; the strip keeps only the selection.
class FrameStripModel {
public:
    static constexpr int kCell = 108;
    static constexpr int kInsetX = 5;
    static constexpr int kInsetY = 10;
    static constexpr int kScrollShift = 16; // every cell moves right while the strip can scroll
    static constexpr int kScrollBar = 15;
    static constexpr int kWheelStep = 30;

    // `notify` receives the current index whenever the strip makes a frame current (and -1
    // after removing every frame).
    FrameStripModel(FrameLists& frames, std::function<void(int)> notify);
    // `hook` runs just before the strip moves or removes frames (a drop of selected frames,
    // removing the selected ones), while every index still names the frame it named before.
    void setAboutToChange(std::function<void()> hook) { m_aboutToChange = std::move(hook); }

    void setClientSize(QSize size);
    QSize clientSize() const { return m_client; }
    QRect cell(int index) const;
    int scrollRange() const;
    int scroll() const { return m_scroll; }
    void setScroll(int position);

    // Recomputes the range (after frames were added) and keeps the selection in step.
    void refresh();
    // Makes frame `index` the only selected and the current frame (notified); invalid: nothing.
    void selectIndex(int index);
    void removeSelected();

    // Files dragged over the strip from outside: the position (0..count) where frames dropped
    // at p would go, before the cell whose middle lies right of p.
    int insertionIndex(QPoint p) const;
    // Shows where a drop would insert (-1: nothing is dragged over the strip).
    void setExternalDrop(int index) { m_externalDrop = index; }
    int externalDrop() const { return m_externalDrop; }
    // Inserts `pictures` as new frames at `index` (clamped to 0..count), A and B alike, and
    // makes the first of them the only selected and the current frame (notified). Returns how
    // many were inserted.
    int insertFrames(int index, const std::vector<QImage>& pictures);

    void press(QPoint p, bool ctrl, bool shift);
    void move(QPoint p);
    void release();
    // Delete, Left and Right act; Up and Down are taken and do nothing. True when taken.
    bool key(int key);
    void wheel(int delta);

    int current() const { return m_current; }
    bool isSelected(int index) const;
    const std::vector<int>& selectedIndexes() const { return m_selectedList; }
    bool dragging() const { return m_dragging; }
    int dropTarget() const { return m_dropTarget; }
    int dropSide() const { return m_dropSide; } // 0 before the target, 1 after it
    std::optional<QRect> rubberBand() const;

private:
    void syncSelection();
    void rebuildSelectedList();
    void clearSelection();
    void makeCurrent(int index);
    // The cell under p (also beside the strip's cells vertically, for drops), or -1.
    int cellAt(QPoint p, bool anyHeight) const;

    FrameLists& m_frames;
    std::function<void(int)> m_notify;
    QSize m_client{600, 126};
    std::function<void()> m_aboutToChange;
    int m_scroll = 0;
    std::vector<char> m_selected;
    std::vector<int> m_selectedList;
    int m_current = -1;
    bool m_buttonDown = false;
    QPoint m_pressPoint;
    bool m_dragging = false;
    int m_dropTarget = -1;
    int m_dropSide = 0;
    int m_externalDrop = -1;
    bool m_rubber = false;
    QPoint m_rubberStart;
    QPoint m_rubberEnd;
};
