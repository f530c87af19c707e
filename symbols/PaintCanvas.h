#pragma once

#include "symbols/CanvasJournal.h"
#include "symbols/CanvasViewport.h"
#include "symbols/PointerInput.h"
#include "symbols/PolygonTool.h"
#include "symbols/SelectionTool.h"
#include "symbols/ShapeTool.h"
#include "symbols/StrokeTool.h"
#include "symbols/ToolSettings.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <functional>

// What the canvas tells its window and the symbol editor.
struct CanvasCallbacks {
    // An edit was committed, or undo or redo changed the picture: the editor copies it back
    // into the frame.
    std::function<void()> changed;
    // The colour picker made a colour (0x00BBGGRR) the current colour.
    std::function<void(std::uint32_t colorRef)> colorPicked;
    // Something shown changed: the picture, a tool's feedback, the size, zoom or scroll.
    std::function<void()> viewChanged;
};

// PaintCanvas: the picture editor of the symbol editor, without a window. It edits one frame's
// picture (Format_ARGB32) with the twelve tools, driven by PointerInput at canvas pixels, keeps
// the frame's starting picture and the clipboard, and records every committed edit in the
// canvas journal. Every edit ends in one place: draw into the picture with the high-quality
// settings, PushState, report the change.
class PaintCanvas {
public:
    explicit PaintCanvas(ProgramFolders folders);

    void setCallbacks(CanvasCallbacks callbacks) { m_callbacks = std::move(callbacks); }

    // Starts on a frame: the picture and the starting picture become copies of `frame`, the
    // canvas takes its size, the journal is reset. The clipboard stays.
    void setPicture(const QImage& frame);
    // The frame's new size: a transparent picture holding the old picture's top-left pixels
    // (not scaled); recorded as an edit.
    void resizePicture(QSize size);
    const QImage& picture() const { return m_picture; }
    const QImage& startPicture() const { return m_start; }
    QSize size() const { return m_picture.size(); }

    const ToolSettings& settings() const { return m_settings; }
    // What follows a change in the tool palette: an open polygon is closed (unless the polygon
    // tool stays), the selection rectangle is cleared when the tool is Selection (a floating
    // selection keeps floating; moving it marks its place again), or else a floating selection
    // is dropped into the picture; then the palette's settings become the canvas's.
    void applyToolChange(const ToolSettings& settings);

    void pointer(const PointerInput& input);
    void pointer(PointerAction action, QPoint point) { pointer(PointerInput{action, point}); }
    // Arrow keys: move a floating selection by whole pixels; false when there is none.
    bool moveFloatingSelection(int dx, int dy);
    bool isOverFloatingSelection(QPoint point) const { return m_selection.floatingContains(point); }

    // Cut, Copy and Paste act with the Selection tool only and drop a floating selection first.
    void cut();
    void copy();
    void paste();
    void dropFloatingSelection();
    // Closes an open polygon with an edge back to its first vertex and commits it.
    void closePolygon();
    bool isPolygonOpen() const { return m_polygon.isOpen(); }

    bool undo();
    bool redo();
    bool zoomIn();
    bool zoomOut();

    CanvasViewport& viewport() { return m_viewport; }
    const CanvasViewport& viewport() const { return m_viewport; }
    CanvasJournal& journal() { return m_journal; }
    const SelectionTool& selection() const { return m_selection; }

    // The tool's feedback above the picture (stroke, shape, polygon, selection), drawn with a
    // painter that maps canvas pixels to the screen; `visible` is the canvas area that shows.
    void paintPreview(QPainter& painter, const QRect& visible) const;

private:
    void press(QPoint point);
    void drag(QPoint point);
    void release(QPoint point);
    void pickColor(QPoint point);
    void commitDrawing(const std::function<void(QPainter&)>& draw);
    void finishEdit();
    void pictureReplaced();
    void viewChanged() const;

    CanvasCallbacks m_callbacks;
    CanvasJournal m_journal;
    CanvasViewport m_viewport;
    ToolSettings m_settings;
    QImage m_picture;
    QImage m_start;
    bool m_pressed = false; // a left press is in progress (cleared at the release)

    StrokeTool m_stroke;
    ShapeTool m_shape;
    PolygonTool m_polygon;
    SelectionTool m_selection;
};
