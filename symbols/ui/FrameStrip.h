#pragma once

#include "symbols/FrameStripModel.h"

#include <QWidget>

class QScrollBar;

// FrameStrip: the row of frame thumbnails across the top of the symbol editor. It paints what
// its FrameStripModel exposes (thumbnails fitted into their cells, selection frames, the drop
// bar while dragging, the rubber band) and turns presses, keys, wheel and its scroll bar into
// calls on it. frameChosen() is emitted whenever the strip makes a frame current. Picture files
// dropped on it become frames at the drop position, as the picture import makes them.
class FrameStrip : public QWidget {
    Q_OBJECT

public:
    FrameStrip(FrameLists& frames, QWidget* parent = nullptr);

    FrameStripModel& model() { return m_model; }
    // Frames were added or changed: the range, the scroll bar and the picture follow.
    void refresh();

signals:
    void frameChosen(int index);
    // The strip is about to reorder or remove frames (a drop, the Delete key): indexes held
    // by the owner stop naming the same pictures.
    void framesAboutToChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Picture files dragged from outside are inserted as frames where they are dropped.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void placeScrollBar();
    // The bar between cells that shows where a drop goes: left of `target`, or right of it.
    void paintDropBar(QPainter& painter, int target, bool after);

    FrameLists& m_frames;
    FrameStripModel m_model;
    QScrollBar* m_bar;
    bool m_placing = false;
};
