#pragma once

#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"

#include <QTimer>
#include <QWidget>

class Document;
class MessageTarget;

// StageView: the stage window. It owns the stage canvas and its worker thread, and only
// copies the canvas's back buffer to the screen; drawing, preview and export happen on the
// worker. A light timer on the UI thread repaints when the worker has drawn a new frame.
class StageView : public QWidget {
    Q_OBJECT

public:
    StageView(Document& document, MessageTarget* target, QWidget* parent = nullptr);
    ~StageView() override;

    StageCanvas& canvas() { return m_canvas; }
    StageWorker& worker() { return m_worker; }

    // Shows the document's project at its stage size, from frame 0 (after a new project, an
    // open or a change of the properties).
    void projectReplaced();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void repaintIfDrawn();

    StageCanvas m_canvas;
    StageWorker m_worker;
    QTimer m_frameWatch;
    int m_paintedDraws = -1;
};
