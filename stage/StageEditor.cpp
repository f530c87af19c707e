#include "stage/StageEditor.h"

#include "document/Document.h"
#include "document/MessageTarget.h"
#include "document/ProjectEditor.h"
#include "stage/StageCanvas.h"

#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

bool hasMotion(const ObjectRecord& r) {
    return r.motionKind != kNoMotion;
}

} // namespace

StageEditor::StageEditor(StageCanvas& canvas, ProjectEditor& editor, MessageTarget* target)
    : m_canvas(canvas), m_editor(editor), m_target(target) {}

float StageEditor::scaleFloor(int width, int height) {
    return width + height > 0 ? 16.0f / static_cast<float>(width + height) : 0.0f;
}

double StageEditor::direction(QPointF a, QPointF b) {
    return std::atan2(b.y() - a.y(), b.x() - a.x()) * kDegreesPerRadian;
}

// ---- scrolling ------------------------------------------------------------------------

void StageEditor::setClientSize(QSize size) {
    m_client = size;
    applyScroll();
}

StageEditor::ScrollBars StageEditor::scrollBars() const {
    const float zoom = m_canvas.zoom();
    const double vOverflow = m_canvas.stageHeight() * zoom + 20 - m_client.height();
    const double hOverflow = m_canvas.stageWidth() * zoom + 20 - m_client.width();
    ScrollBars bars;
    bars.verticalRange =
        std::max(0, static_cast<int>(vOverflow + (hOverflow > 0 ? kScrollBar : 0)));
    bars.horizontalRange =
        std::max(0, static_cast<int>(hOverflow + (vOverflow > 0 ? kScrollBar : 0)));
    const bool vertical = bars.verticalRange > 0;
    const bool horizontal = bars.horizontalRange > 0;
    // One pixel beyond each edge, short of the corner when both show.
    if (vertical)
        bars.vertical = QRect(m_client.width() - kScrollBar, -1, kScrollBar + 1,
                              m_client.height() + 2 - (horizontal ? kScrollBar : 0));
    if (horizontal)
        bars.horizontal = QRect(-1, m_client.height() - kScrollBar,
                                m_client.width() + 2 - (vertical ? kScrollBar : 0), kScrollBar + 1);
    return bars;
}

void StageEditor::applyScroll() {
    const ScrollBars bars = scrollBars();
    auto within = [](int position, int range) {
        if (range <= 0)
            return 0;
        return std::clamp(position, 0, range - 1);
    };
    m_scroll = QPoint(within(m_scroll.x(), bars.horizontalRange),
                      within(m_scroll.y(), bars.verticalRange));
    m_canvas.setScroll(m_scroll.x(), m_scroll.y());
}

void StageEditor::scrollRequest(Qt::Orientation orientation, Scroll request, int value) {
    const ScrollBars bars = scrollBars();
    const bool sideways = orientation == Qt::Horizontal;
    const int range = sideways ? bars.horizontalRange : bars.verticalRange;
    int position = sideways ? m_scroll.x() : m_scroll.y();
    switch (request) {
    case Scroll::LineBack:
        position -= 1;
        break;
    case Scroll::LineForward:
        position += 1;
        break;
    case Scroll::PageBack:
        position -= 30;
        break;
    case Scroll::PageForward:
        position += 30;
        break;
    case Scroll::ThumbPosition:
    case Scroll::ThumbTrack:
        position = value;
        break;
    case Scroll::Start:
        position = 0;
        break;
    case Scroll::End:
        position = range;
        break;
    }
    position = std::clamp(position, 0, std::max(range, 0));
    if (sideways)
        m_scroll.setX(position);
    else
        m_scroll.setY(position);
    applyScroll();
    m_canvas.requestRedraw();
}

void StageEditor::wheel(int delta, bool horizontalBarFocused) {
    if (delta == 0)
        return;
    const Qt::Orientation orientation = horizontalBarFocused ? Qt::Horizontal : Qt::Vertical;
    const int position = horizontalBarFocused ? m_scroll.x() : m_scroll.y();
    scrollRequest(orientation, Scroll::ThumbPosition, position - delta);
}

// ---- hit tests ------------------------------------------------------------------------

StageEditor::Handle StageEditor::handleAt(QPoint q) const {
    auto lock = m_canvas.document().lock();
    if (lock.project().selectedObjectIndex() < 0 || !m_canvas.editView())
        return kNoHandle; // no handles are shown
    const FrameRenderer::Selection& selection = m_canvas.selection(lock);
    for (int i = kTopLeft; i <= kTurnBottomRight; ++i) {
        const QPolygonF region =
            selection.handleMatrix.map(QPolygonF(QRectF(selection.handles[std::size_t(i)])));
        if (region.containsPoint(q, Qt::OddEvenFill))
            return static_cast<Handle>(i);
    }
    return kNoHandle;
}

StageEditor::ResizeHandle StageEditor::resizeHandleAt(QPoint q) const {
    auto lock = m_canvas.document().lock();
    // The canvas keeps them as right edge, bottom edge, corner.
    const std::array<QRect, 3>& handles = m_canvas.resizeHandles(lock);
    if (handles[0].contains(q))
        return ResizeHandle::RightEdge;
    if (handles[2].contains(q))
        return ResizeHandle::Corner;
    if (handles[1].contains(q))
        return ResizeHandle::BottomEdge;
    return ResizeHandle::None;
}

int StageEditor::objectAt(QPoint q) const {
    // The reverse of drawing order, on visible layers only.
    auto lock = m_canvas.document().lock();
    const Project& project = lock.project();
    int index = project.objectCount() - 1;
    for (int k = project.layerCount() - 1; k >= 0; --k) {
        const int count = project.layerCounts[static_cast<std::uint32_t>(k)];
        const bool visible = project.layerVisible[static_cast<std::uint32_t>(k)] != 0;
        for (int n = 0; n < count; ++n, --index) {
            if (!visible)
                continue;
            const std::optional<QPolygonF>& region = m_canvas.hitRegion(lock, index);
            if (region && region->containsPoint(q, Qt::OddEvenFill))
                return index;
        }
    }
    return -1;
}

StageEditor::Cursor StageEditor::cursorAt(QPoint p) const {
    const QPoint q = p + m_scroll;
    switch (resizeHandleAt(q)) {
    case ResizeHandle::RightEdge:
        return Cursor::SizeWE;
    case ResizeHandle::Corner:
        return Cursor::SizeNWSE;
    case ResizeHandle::BottomEdge:
        return Cursor::SizeNS;
    case ResizeHandle::None:
        break;
    }
    if (m_canvas.isPlaying())
        return Cursor::Arrow;
    switch (handleAt(q)) {
    case kTopLeft:
    case kBottomRight:
        return Cursor::SizeNWSE;
    case kBottomLeft:
    case kTopRight:
        return Cursor::SizeNESW;
    case kLeftMiddle:
    case kRightMiddle:
        return Cursor::SizeWE;
    case kBottomMiddle:
    case kTopMiddle:
        return Cursor::SizeNS;
    case kTurnTopLeft:
    case kTurnBottomLeft:
    case kTurnTopRight:
    case kTurnBottomRight:
        return Cursor::Rotate;
    case kNoHandle:
        break;
    }
    auto lock = m_canvas.document().lock();
    int index = 0;
    for (const AnimationObject& object : lock.project().objects) {
        const std::optional<QPolygonF>& region = m_canvas.hitRegion(lock, index++);
        if (object.isSelected() && region && region->containsPoint(q, Qt::OddEvenFill))
            return Cursor::Move;
    }
    return Cursor::Arrow;
}

// ---- presses and drags ----------------------------------------------------------------

void StageEditor::press(QPoint p) {
    m_mode = Mode::None;
    const bool playing = m_canvas.isPlaying();
    if (!playing && QRect(0, 0, m_canvas.stageWidth(), m_canvas.stageHeight()).contains(p)) {
        m_canvas.setEditView(true);
        m_editor.goToFrame(0);
    }
    const QPoint q = p + m_scroll;
    if (!playing) {
        const Handle handle = handleAt(q);
        if (handle != kNoHandle) {
            auto lock = m_canvas.document().lock();
            const FrameRenderer::Selection& selection = m_canvas.selection(lock);
            m_pivot = QPoint(selection.handles[kTopMiddle].left() + 4 + selection.position.x(),
                             selection.handles[kLeftMiddle].top() + 4 + selection.position.y());
            m_mode = Mode::Handle;
            m_handle = handle;
        }
    }
    if (!playing && m_mode == Mode::None) {
        const int picked = objectAt(q);
        if (picked >= 0) {
            m_editor.pickObject(picked);
            m_mode = Mode::Move;
            m_dragStart = p;
        }
    }
    if (m_mode == Mode::None) {
        m_resizeHandle = resizeHandleAt(q);
        if (m_resizeHandle != ResizeHandle::None)
            m_mode = Mode::StageResize;
    }
    m_lastPoint = p;
    if (m_mode == Mode::Move || m_mode == Mode::Handle) {
        int selected = -1;
        {
            auto lock = m_canvas.document().lock();
            selected = lock.project().selectedObjectIndex();
        }
        // The drag moves the first selected object; one undo step at the release. A move
        // needs an object that was drawn (it has a hit region).
        {
            auto lock = m_canvas.document().lock();
            m_movable = m_canvas.hitRegion(lock, selected).has_value();
        }
        if (!m_editor.beginObjectDrag(selected))
            m_mode = Mode::None;
    }
}

bool StageEditor::dragTo(AnimationObject& object, QPoint p) const {
    const QPoint q = p + m_scroll;
    const float zoom = m_canvas.zoom();
    ObjectRecord& r = object.record;
    const float scale = r.startScale;
    if (m_mode == Mode::Handle && m_handle >= kTurnTopLeft) {
        // Rotation about the box's centre Z, measured from the handle's corner R.
        const QPointF z(std::trunc((r.width * scale * 0.5f + r.startX) * zoom),
                        std::trunc((r.height * scale * 0.5f + r.startY) * zoom));
        const bool right = m_handle == kTurnTopRight || m_handle == kTurnBottomRight;
        const bool bottom = m_handle == kTurnBottomLeft || m_handle == kTurnBottomRight;
        const QPointF corner(std::trunc((r.startX + (right ? r.width * scale : 0)) * zoom),
                             std::trunc((r.startY + (bottom ? r.height * scale : 0)) * zoom));
        r.startAngle = static_cast<float>(direction(q, z) - direction(corner, z));
        if (!hasMotion(r))
            r.endAngle = r.startAngle;
        return true;
    }
    if (m_mode == Mode::Handle) {
        const double d = std::trunc(std::hypot(q.x() - m_pivot.x(), q.y() - m_pivot.y()));
        const int hw = static_cast<int>(r.width * zoom * 0.5f);
        const int hh = static_cast<int>(r.height * zoom * 0.5f);
        int reference = static_cast<int>(std::sqrt(double(hw) * hw + double(hh) * hh));
        if (m_handle == kLeftMiddle || m_handle == kRightMiddle)
            reference = hw;
        else if (m_handle == kBottomMiddle || m_handle == kTopMiddle)
            reference = hh;
        if (reference <= 0)
            return false;
        // The floor comes before the position, so that the centre stays where it was.
        const float newScale =
            std::max(static_cast<float>(d / reference), scaleFloor(r.width, r.height));
        r.startScale = newScale;
        r.startX = (m_pivot.x() - newScale * zoom * r.width * 0.5f) / zoom;
        r.startY = (m_pivot.y() - newScale * zoom * r.height * 0.5f) / zoom;
        if (!hasMotion(r)) {
            r.endX = r.startX;
            r.endY = r.startY;
            r.endScale = r.startScale;
        }
        return true;
    }
    if (m_mode == Mode::Move && m_movable) {
        r.startX = (r.dragOriginX * zoom + p.x() - m_dragStart.x()) / zoom;
        r.startY = (r.dragOriginY * zoom + p.y() - m_dragStart.y()) / zoom;
        if (!hasMotion(r)) {
            r.endX = r.startX;
            r.endY = r.startY;
        }
        return true;
    }
    return false;
}

void StageEditor::move(QPoint p) {
    m_lastPoint = p;
    if (m_mode == Mode::StageResize || m_mode == Mode::None || m_canvas.isPlaying())
        return; // the outline follows resizeOutline(); nothing else moves while playing
    std::optional<AnimationObject> object = m_editor.objectCopy(m_editor.draggedObject());
    if (object && dragTo(*object, p))
        m_editor.dragObject(*object);
}

QSize StageEditor::resizeSize(QPoint q) const {
    const float zoom = m_canvas.zoom();
    int w = static_cast<int>(m_canvas.stageWidth() * zoom);
    int h = static_cast<int>(m_canvas.stageHeight() * zoom);
    if (m_resizeHandle == ResizeHandle::RightEdge || m_resizeHandle == ResizeHandle::Corner)
        w = q.x();
    if (m_resizeHandle == ResizeHandle::Corner || m_resizeHandle == ResizeHandle::BottomEdge)
        h = q.y();
    return QSize(w < 11 ? 10 : w, h < 11 ? 10 : h);
}

std::optional<QSize> StageEditor::resizeOutline() const {
    if (m_mode != Mode::StageResize)
        return std::nullopt;
    return resizeSize(m_lastPoint + m_scroll);
}

QString StageEditor::resizeReadout() const {
    const QSize size = resizeSize(m_lastPoint + m_scroll);
    return QStringLiteral("%1 * %2")
        .arg(size.width() - m_scroll.x() - 1)
        .arg(size.height() - m_scroll.y() - 1);
}

void StageEditor::release(QPoint p) {
    const Mode mode = m_mode;
    m_mode = Mode::None;
    if (mode == Mode::Move || mode == Mode::Handle)
        m_editor.commitObjectDrag();
    else if (mode == Mode::StageResize)
        releaseStageResize(p);
    m_handle = kNoHandle;
    m_resizeHandle = ResizeHandle::None;
}

void StageEditor::releaseStageResize(QPoint p) {
    m_lastPoint = p;
    const QSize zoomed = resizeSize(p + m_scroll);
    const float zoom = m_canvas.zoom();
    const QSize before(static_cast<int>(m_canvas.stageWidth() * zoom),
                       static_cast<int>(m_canvas.stageHeight() * zoom));
    const int width = static_cast<int>(zoomed.width() / zoom);
    const int height = static_cast<int>(zoomed.height() / zoom);
    // The stage follows the header at once: the scroll ranges below depend on its size.
    m_editor.resizeStage(width, height);
    m_canvas.setStageSize(width, height);
    m_canvas.makeViewBackBuffer();
    // Each scroll position shrinks with the stage when it stays inside its range.
    const ScrollBars bars = scrollBars();
    const QPoint shrunk = m_scroll - QPoint(std::max(0, before.width() - zoomed.width()),
                                            std::max(0, before.height() - zoomed.height()));
    if (shrunk.x() >= 0 && shrunk.x() < std::max(bars.horizontalRange, 1))
        m_scroll.setX(shrunk.x());
    if (shrunk.y() >= 0 && shrunk.y() < std::max(bars.verticalRange, 1))
        m_scroll.setY(shrunk.y());
    applyScroll();
    m_canvas.requestRedraw();
}

void StageEditor::nudge(int dx, int dy) {
    int index = -1;
    {
        auto lock = m_canvas.document().lock();
        index = lock.project().selectedObjectIndex();
    }
    m_editor.editObject(index, [dx, dy](AnimationObject& object) {
        ObjectRecord& r = object.record;
        r.startX += static_cast<float>(dx);
        r.startY += static_cast<float>(dy);
        if (!hasMotion(r)) {
            r.endX = r.startX;
            r.endY = r.startY;
        }
    });
}

void StageEditor::contextMenu() {
    if (m_target)
        m_target->post(MainMessage::ShowMenu, 0, static_cast<std::intptr_t>(MenuKind::Object));
}
