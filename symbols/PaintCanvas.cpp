#include "symbols/PaintCanvas.h"

#include "symbols/CanvasRenderer.h"
#include "document/ColorRef.h"
#include "symbols/FloodFill.h"
#include "symbols/PaintStyle.h"

#include <algorithm>

namespace {

constexpr QSize kInitialSize(200, 200);
// The eraser's track on the screen: ARGB(100, 100, 100, 200), a translucent blue-grey.
const QColor kEraserTrack(100, 100, 200, 100);

} // namespace

PaintCanvas::PaintCanvas(ProgramFolders folders) : m_journal(std::move(folders)) {
    m_picture = QImage(kInitialSize, QImage::Format_ARGB32);
    m_picture.fill(Qt::transparent);
    m_start = m_picture;
    m_viewport.setCanvasSize(kInitialSize);
}

void PaintCanvas::setPicture(const QImage& frame) {
    m_picture = frame.convertToFormat(QImage::Format_ARGB32);
    m_start = m_picture; // shared until the picture is painted on
    m_pressed = false;
    m_stroke.clear();
    m_shape.clear();
    m_polygon.clear();
    m_journal.ResetJournal();
    m_viewport.setCanvasSize(m_picture.size());
    viewChanged();
}

void PaintCanvas::resizePicture(QSize size) {
    QImage resized(size, QImage::Format_ARGB32);
    resized.fill(Qt::transparent);
    const QRect kept = m_picture.rect().intersected(resized.rect());
    for (int y = 0; y < kept.height(); ++y)
        std::copy_n(m_picture.constScanLine(y), kept.width() * 4, resized.scanLine(y));
    m_picture = resized;
    m_viewport.setCanvasSize(size);
    finishEdit();
}

void PaintCanvas::applyToolChange(const ToolSettings& settings) {
    if (settings.tool != PaintTool::Polygon)
        closePolygon();
    if (settings.tool == PaintTool::Selection) {
        m_selection.clearRectangle(); // a floating selection stays where it floats
    } else {
        dropFloatingSelection();
    }
    m_settings = settings;
    viewChanged();
}

void PaintCanvas::pointer(const PointerInput& input) {
    switch (input.action) {
    case PointerAction::Press:
        m_pressed = true;
        press(input.point);
        break;
    case PointerAction::DoubleClick:
        if (m_settings.tool == PaintTool::Polygon) {
            closePolygon();
        } else {
            m_pressed = true; // elsewhere the double click is the second press
            press(input.point);
        }
        break;
    case PointerAction::Move:
        if (m_pressed)
            drag(input.point);
        break;
    case PointerAction::Release:
        if (m_pressed) {
            m_pressed = false;
            release(input.point);
        }
        break;
    case PointerAction::RightPress:
        if (m_settings.tool == PaintTool::Polygon)
            closePolygon();
        break;
    }
    viewChanged();
}

void PaintCanvas::press(QPoint point) {
    switch (m_settings.tool) {
    case PaintTool::Selection:
        if (m_selection.floatingContains(point)) {
            m_selection.startMove(point);
            return;
        }
        dropFloatingSelection();
        m_selection.pressRubberBand(point);
        return;
    case PaintTool::ColorPicker:
        pickColor(point);
        return;
    case PaintTool::Eraser:
    case PaintTool::Pencil:
    case PaintTool::Brush:
        m_stroke.press(point);
        return;
    case PaintTool::FloodFill:
        FloodFill::apply(m_picture, point, m_settings.color);
        finishEdit();
        return;
    case PaintTool::Polygon:
        m_polygon.press(point);
        return;
    default:
        m_shape.press(point);
        return;
    }
}

void PaintCanvas::drag(QPoint point) {
    switch (m_settings.tool) {
    case PaintTool::Selection:
        if (m_selection.isMoving())
            m_selection.dragMove(point);
        else
            m_selection.dragRubberBand(point);
        return;
    case PaintTool::Eraser:
    case PaintTool::Pencil:
        m_stroke.move(point);
        return;
    case PaintTool::Brush:
        // The brush paints straight into the picture while the stroke goes on.
        if (m_stroke.move(point))
            m_stroke.drawBrush(m_picture, m_settings);
        return;
    case PaintTool::Polygon:
        m_polygon.move(point);
        return;
    default:
        if (ShapeTool::isShapeTool(m_settings.tool))
            m_shape.move(point);
        return;
    }
}

void PaintCanvas::release(QPoint point) {
    switch (m_settings.tool) {
    case PaintTool::Selection:
        if (m_selection.isMoving())
            m_selection.endMove(point);
        else
            m_selection.releaseRubberBand(point, size());
        return;
    case PaintTool::Eraser:
        m_stroke.commitEraser(m_picture, m_settings);
        m_stroke.clear();
        finishEdit();
        return;
    case PaintTool::Pencil:
        commitDrawing([this](QPainter& painter) {
            m_stroke.drawSegments(painter, PaintStyle::pen(m_settings));
            m_stroke.clear(); // before the edit's ending shows the canvas again
        });
        return;
    case PaintTool::Brush:
        // The list is emptied before the last drawing: a click without a move paints nothing.
        m_stroke.clear();
        m_stroke.drawBrush(m_picture, m_settings);
        finishEdit();
        return;
    case PaintTool::Polygon:
        m_polygon.release(point);
        return;
    default:
        if (!ShapeTool::isShapeTool(m_settings.tool))
            return;
        m_shape.release(point);
        commitDrawing(
            [this](QPainter& painter) { m_shape.draw(painter, m_settings, m_picture.rect()); });
        m_shape.clear();
        return;
    }
}

void PaintCanvas::pickColor(QPoint point) {
    const QPoint client = m_viewport.canvasToClient().map(point);
    const QRgb shown = CanvasRenderer::shownColor(*this, client);
    m_settings.color = ColorRef::fromArgb(shown);
    if (m_callbacks.colorPicked)
        m_callbacks.colorPicked(m_settings.color);
}

void PaintCanvas::closePolygon() {
    if (!m_polygon.isOpen())
        return;
    const QPolygon vertices = m_polygon.take();
    commitDrawing([&](QPainter& painter) {
        PolygonTool::drawClosed(painter, vertices, m_settings, m_viewport.clientSize(),
                                m_picture.rect());
    });
}

bool PaintCanvas::moveFloatingSelection(int dx, int dy) {
    if (!m_selection.nudge(dx, dy))
        return false;
    viewChanged();
    return true;
}

void PaintCanvas::dropFloatingSelection() {
    if (m_selection.drop(m_picture))
        finishEdit();
}

void PaintCanvas::copy() {
    if (m_settings.tool != PaintTool::Selection)
        return;
    dropFloatingSelection();
    m_selection.copy(m_picture);
    viewChanged();
}

void PaintCanvas::cut() {
    if (m_settings.tool != PaintTool::Selection)
        return;
    dropFloatingSelection();
    if (!m_selection.copy(m_picture))
        return;
    m_selection.clearCopied(m_picture);
    finishEdit();
}

void PaintCanvas::paste() {
    if (m_settings.tool != PaintTool::Selection)
        return;
    dropFloatingSelection();
    if (m_selection.paste())
        viewChanged();
}

bool PaintCanvas::undo() {
    if (!m_journal.Undo(m_picture, m_start))
        return false;
    pictureReplaced();
    return true;
}

bool PaintCanvas::redo() {
    if (!m_journal.Redo(m_picture))
        return false;
    pictureReplaced();
    return true;
}

bool PaintCanvas::zoomIn() {
    const bool zoomed = m_viewport.zoomIn();
    viewChanged();
    return zoomed;
}

bool PaintCanvas::zoomOut() {
    const bool zoomed = m_viewport.zoomOut();
    viewChanged();
    return zoomed;
}

void PaintCanvas::commitDrawing(const std::function<void(QPainter&)>& draw) {
    {
        QPainter painter(&m_picture);
        PaintStyle::setHighQuality(painter);
        draw(painter);
    }
    finishEdit();
}

// The one ending of every edit.
void PaintCanvas::finishEdit() {
    m_journal.PushState(m_picture); // a failed write loses this state only, silently
    if (m_callbacks.changed)
        m_callbacks.changed();
    viewChanged();
}

void PaintCanvas::pictureReplaced() {
    m_viewport.setCanvasSize(m_picture.size());
    if (m_callbacks.changed)
        m_callbacks.changed();
    viewChanged();
}

void PaintCanvas::viewChanged() const {
    if (m_callbacks.viewChanged)
        m_callbacks.viewChanged();
}

void PaintCanvas::paintPreview(QPainter& painter, const QRect& visible) const {
    if (m_selection.hasFloating() || m_settings.tool == PaintTool::Selection)
        m_selection.drawPreview(painter);
    switch (m_settings.tool) {
    case PaintTool::Eraser:
        if (m_pressed)
            m_stroke.drawSegments(painter, PaintStyle::pen(m_settings, kEraserTrack));
        return;
    case PaintTool::Pencil:
        if (m_pressed)
            m_stroke.drawSegments(painter, PaintStyle::pen(m_settings));
        return;
    case PaintTool::Polygon:
        m_polygon.drawOpen(painter, m_settings);
        return;
    default:
        if (m_shape.isActive())
            m_shape.draw(painter, m_settings, visible);
        return;
    }
}
