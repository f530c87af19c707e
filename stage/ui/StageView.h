#pragma once

#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"

#include <QTimer>
#include <QWidget>

class EmbeddedSymbolList;
class HitRegionTable;
class MessageTarget;
class Project;

// StageView: the stage window. It owns the stage canvas and its worker thread, and only
// copies the canvas's back buffer to the screen; drawing, preview and export happen on the
// worker. A light timer on the UI thread repaints when the worker has drawn a new frame.
class StageView : public QWidget {
    Q_OBJECT

public:
    explicit StageView(MessageTarget* target, QWidget* parent = nullptr);
    ~StageView() override;

    StageCanvas& canvas() { return m_canvas; }
    StageWorker& worker() { return m_worker; }

    // Shows `project` (borrowed, with its symbols and hit regions) at its stage size.
    void setProject(Project* project, EmbeddedSymbolList* symbols, const HitRegionTable* regions);

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
