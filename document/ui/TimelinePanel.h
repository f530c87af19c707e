#pragma once

#include "document/DocumentChange.h"
#include "document/TimelineModel.h"

#include <QWidget>

class QScrollBar;

// TimelinePanel: the timeline's window: paints the ruler, the current-frame line and one row
// per layer with its header buttons and spans, and turns presses, wheel and scroll bars into
// calls on its TimelineModel. Drags (span edges, moves, scrubbing) reach it from the main
// window's mouse filter through forwardPress/Move/Release, in global coordinates; only a press
// inside its frame area starts one. It repaints on every change the command layer announces.
class TimelinePanel : public QWidget, private ChangeListener {
    Q_OBJECT

public:
    TimelinePanel(ProjectEditor& editor, MessageTarget* target, QWidget* parent = nullptr);
    ~TimelinePanel() override;

    TimelineModel& model() { return m_model; }
    // The largest duration of the run: the ruler's length.
    void setRulerLength(int frames);
    // Recomputes the scroll ranges (the layer count or the ruler changed) and repaints.
    void refresh();
    // The preview plays `frame`: it is scrolled into view when it left it, and marked.
    void showFrame(int frame);

    // From the main window's filter: true when the press started a drag (the caller then
    // keeps sending moves until the release).
    bool forwardPress(QPointF globalPosition);
    void forwardMove(QPointF globalPosition);
    void forwardRelease();

    // Draws the whole panel (without its scroll bars); the benchmark calls it directly.
    void paintTimeline(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void documentChanged(DocumentChange change) override;
    void paintRuler(QPainter& painter, int duration);
    void paintRows(QPainter& painter, const Project& project);
    void scrolled();
    void placeScrollBars();

    ProjectEditor& m_editor;
    TimelineModel m_model;
    QScrollBar* m_horizontal;
    QScrollBar* m_vertical;
};
