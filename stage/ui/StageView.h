#pragma once

#include "document/DocumentChange.h"
#include "stage/StageCanvas.h"
#include "stage/StageEditor.h"
#include "stage/StageWorker.h"

#include <QTimer>
#include <QWidget>

class MessageTarget;
class ProjectEditor;
class QScrollBar;

// StageView: the stage window. It owns the stage canvas and its worker thread, and only
// copies the canvas's back buffer to the screen (from the scroll position); drawing, preview
// and export happen on the worker. Mouse, keys, wheel and scroll bars become calls on its
// StageEditor; while the stage is resized it draws the outline and the size read-out over the
// picture. It asks the worker for one redraw per change the command layer announces, and
// follows the header (stage size, background). A light timer on the UI thread repaints when
// the worker has drawn a new frame.
class StageView : public QWidget, private ChangeListener {
    Q_OBJECT

public:
    StageView(ProjectEditor& editor, MessageTarget* target, QWidget* parent = nullptr);
    ~StageView() override;

    StageCanvas& canvas() { return m_canvas; }
    StageWorker& worker() { return m_worker; }
    StageEditor& editor() { return m_editor; }

    // Shows the document's project at its stage size and background.
    void showHeader();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void documentChanged(DocumentChange change) override;
    void repaintIfDrawn();
    void placeScrollBars();
    void showCursor(StageEditor::Cursor cursor);
    void paintResizeOutline(QPainter& painter, QSize zoomed);

    ProjectEditor& m_commands;
    StageCanvas m_canvas;
    StageWorker m_worker;
    StageEditor m_editor;
    QScrollBar* m_horizontal;
    QScrollBar* m_vertical;
    QTimer m_frameWatch;
    int m_paintedDraws = -1;
    bool m_placingBars = false;
};
