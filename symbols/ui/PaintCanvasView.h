#pragma once

#include "symbols/OnionSkin.h"
#include "symbols/PaintCanvas.h"

#include <QScrollBar>
#include <QWidget>

// PaintCanvasView: the painting canvas window of the symbol editor. It owns the PaintCanvas,
// turns mouse, wheel and arrow-key events into its calls (client points mapped to canvas
// pixels), keeps the two scroll bars at the right and bottom edges in step with the viewport,
// and paints what CanvasRenderer draws, with the onion skin the editor hands it under the
// picture. The editor places it, calls the canvas's commands and listens to the two signals.
class PaintCanvasView : public QWidget {
    Q_OBJECT

public:
    explicit PaintCanvasView(const ProgramFolders& folders, QWidget* parent = nullptr);

    PaintCanvas& canvas() { return m_canvas; }
    const PaintCanvas& canvas() const { return m_canvas; }
    // The editor's follow-up of UM_TOOL_CHANGED: the palette's settings go to the canvas
    // (closing a polygon, clearing or dropping the selection) and the cursor follows the tool.
    void applyToolChange(const ToolSettings& settings);

    // The frames shown faintly under the picture (null pictures: none); only shown.
    void setOnionSkin(const QImage& previous, const QImage& next);
    const OnionSkin& onionSkin() const { return m_onion; }

    QScrollBar* horizontalBar() const { return m_horizontal; }
    QScrollBar* verticalBar() const { return m_vertical; }
    // The area that shows the picture: the window without its scroll bars.
    QRect clientRect() const;

    QSize sizeHint() const override { return QSize(410, 270); }

signals:
    // UM_CANVAS_CHANGED: an edit was committed, or undo or redo changed the picture.
    void canvasChanged();
    // UM_COLOR_PICKED: the colour picker took a colour (0x00BBGGRR).
    void colorPicked(quint32 colorRef);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void scrollAction(QScrollBar* bar, int action);
    void viewChanged();
    void updateCursor(QPoint client);
    QPoint toCanvas(const QMouseEvent* event) const;

    PaintCanvas m_canvas;
    OnionSkin m_onion;
    QScrollBar* m_horizontal;
    QScrollBar* m_vertical;
    QCursor m_toolCursor;        // drawn once per tool change, not per mouse move
    bool m_overFloating = false; // the four-way arrow shows
};
