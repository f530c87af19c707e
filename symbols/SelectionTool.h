#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>

// SelectionTool: the selection rectangle, the clipboard picture and the floating selection (the
// clipboard picture shown above the picture at a position of its own until it is dropped into
// the picture). The clipboard outlives the picture, so that what was copied in one frame can be
// pasted into another.
class SelectionTool {
public:
    // Rubber band: the press fixes the anchor, the drag and the release move the opposite
    // corner (the release clamps it to the picture).
    void pressRubberBand(QPoint point);
    void dragRubberBand(QPoint point);
    void releaseRubberBand(QPoint point, QSize pictureSize);
    void clearRectangle();
    // The selection rectangle, normalised (empty when none was drawn).
    QRect rectangle() const;
    bool isDragging() const { return m_dragging; }

    bool hasFloating() const { return m_floating; }
    // The floating selection's rectangle, including a move in progress.
    QRect floatingRect() const;
    bool floatingContains(QPoint point) const {
        return m_floating && floatingRect().contains(point);
    }
    void startMove(QPoint point);
    void dragMove(QPoint point);
    void endMove(QPoint point);
    bool isMoving() const { return m_moving; }
    // Moves the floating selection by whole pixels (arrow keys); false when there is none.
    bool nudge(int dx, int dy);

    // Copy: the selection rectangle, normalised and clamped to the picture, becomes the
    // clipboard; false (nothing copied) when it is less than a pixel wide or high.
    bool copy(const QImage& picture);
    // Cut after a copy: every byte of the copied rectangle becomes 0 (transparent black).
    void clearCopied(QImage& picture) const;
    // Paste: a floating selection of the clipboard at 0,0; false without a clipboard.
    bool paste();
    // Draws the floating selection into the picture and ends it; false when there was none.
    bool drop(QImage& picture);

    const QImage& clipboard() const { return m_clipboard; }
    QRect copiedRect() const { return m_copied; }

    // Screen feedback: the floating picture, or else the selection rectangle as a dotted frame
    // one screen pixel wide (the painter maps canvas to screen).
    void drawPreview(QPainter& painter) const;

private:
    // The selection rectangle becomes the floating selection's place.
    void markFloating();

    QPoint m_anchor;
    QPoint m_corner;
    bool m_hasRectangle = false;
    bool m_dragging = false;

    QImage m_clipboard;
    QRect m_copied;

    bool m_floating = false;
    QPoint m_floatingAt; // top-left of the floating selection in canvas pixels
    QPoint m_downPoint;  // where a move started
    QPoint m_moveOffset; // how far the move in progress has gone
    bool m_moving = false;
};
