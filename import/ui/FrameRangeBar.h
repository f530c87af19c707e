#pragma once

#include "import/FrameRangeModel.h"

#include <QWidget>

class QScrollBar;
class QSvgRenderer;

// FrameRangeBar: the ruler of the import-video-frames dialog. It paints what its
// FrameRangeModel exposes (sample ticks with the seconds, the two markers joined by a line, the
// "Import n frames" text), turns marker drags and its scroll bar (along the bottom edge, 50
// pixels a step) into calls on the model, and emits rangeChanged() after every change of
// start, end or scroll position.
class FrameRangeBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kScrollBarHeight = 14;

    explicit FrameRangeBar(QWidget* parent = nullptr);

    const FrameRangeModel& model() const { return m_model; }
    // Starts over on a video of `total` samples (no signal: nothing was chosen yet).
    void setTotal(int total);
    QScrollBar* scrollBar() const { return m_bar; }

signals:
    void rangeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void syncScrollBar();
    void paintTicks(QPainter& painter);
    void paintRange(QPainter& painter);
    void changed();

    FrameRangeModel m_model;
    QScrollBar* m_bar;
    QSvgRenderer* m_startIcon;
    QSvgRenderer* m_endIcon;
    // Set while the scroll bar is brought in line with the model (its signals are echoes).
    bool m_syncing = false;
};
