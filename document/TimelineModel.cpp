#include "document/TimelineModel.h"

#include "document/Document.h"
#include "document/MessageTarget.h"
#include "document/ProjectEditor.h"

#include <algorithm>
#include <cstdlib>

TimelineModel::TimelineModel(ProjectEditor& editor, MessageTarget* target)
    : m_editor(editor), m_target(target) {}

int TimelineModel::frameUnder(int x) const {
    const int visibleWidth = m_view.width() - kScrollBar;
    if (x <= kHeaderWidth)
        return 0;
    const int clamped = std::min(x, visibleWidth);
    return std::max(0, (clamped + m_scrollX - kHeaderWidth) / kFrameWidth);
}

QRect TimelineModel::headerButton(HeaderButton button, int rowTop) {
    // 24 pixels wide at x 3, 33 and 63, centred in the row's height.
    const int left = 3 + 30 * static_cast<int>(button);
    return QRect(left, rowTop + 3, 24, kRowHeight - 6);
}

QRect TimelineModel::outerSpan(int start, int end, int rowTop) const {
    const int left = frameX(start);
    return QRect(left, rowTop, frameX(end) - left, kRowHeight);
}

int TimelineModel::maxScrollX() const {
    const int content = kHeaderWidth + m_rulerLength * kFrameWidth;
    return std::max(0, content - (m_view.width() - kScrollBar));
}

int TimelineModel::maxScrollY(int layerCount) const {
    const int content = kRulerHeight + layerCount * kRowHeight;
    return std::max(0, content - (m_view.height() - kScrollBar));
}

void TimelineModel::setScroll(int x, int y) {
    m_scrollX = std::max(0, x);
    m_scrollY = std::max(0, y);
}

TimelineModel::RowHit TimelineModel::rowAt(const Project& project, QPoint p) const {
    RowHit hit;
    const int layers = project.layerCount();
    const int visibleHeight = m_view.height() - kScrollBar;
    int first = 0;
    for (int k = 0; k < layers; first += project.layerCounts[static_cast<std::uint32_t>(k)], ++k) {
        const int top = rowTop(k, layers);
        if (top >= visibleHeight)
            continue; // below the visible area
        if (top + kRowHeight < kRulerHeight)
            break; // this row and every later one lie above the ruler's bottom
        if (p.y() < top || p.y() >= top + kRowHeight)
            continue;
        hit.row = k;
        if (p.x() < kHeaderWidth)
            continue;
        hit.layer = k;
        const int count = project.layerCounts[static_cast<std::uint32_t>(k)];
        for (int i = first; i < first + count; ++i) {
            const ObjectRecord& r = project.objects[static_cast<std::uint32_t>(i)].record;
            if (outerSpan(r.startFrame, r.endFrame, top).contains(p))
                hit.object = i;
        }
    }
    return hit;
}

void TimelineModel::select(const RowHit& hit) {
    if (hit.layer >= 0 || hit.object >= 0)
        m_editor.selectLayerAndObject(hit.layer, hit.object);
}

void TimelineModel::leftPress(QPoint p) {
    if (m_guard)
        return;
    m_guard = true;
    RowHit hit;
    bool flipVisible = false;
    bool visible = false;
    int motionObject = -1;
    MotionKind wanted = kNoMotion;
    {
        auto lock = m_editor.document().lock();
        const Project& project = lock.project();
        hit = rowAt(project, p);
        if (hit.row >= 0) {
            const auto k = static_cast<std::uint32_t>(hit.row);
            const int top = rowTop(hit.row, project.layerCount());
            if (headerButton(HeaderButton::Visible, top).contains(p)) {
                m_pressedButton = HeaderButton::Visible;
                m_pressedRow = hit.row;
                flipVisible = true;
                visible = project.layerVisible[k] == 0;
            }
            // The motion buttons act only on the selected layer's selected object. The row
            // headers lie left of the frame area, so the press selected nothing before.
            for (HeaderButton button : {HeaderButton::Liner, HeaderButton::GuideLine}) {
                if (!headerButton(button, top).contains(p) ||
                    project.selectedLayerIndex() != hit.row)
                    continue;
                m_pressedButton = button;
                m_pressedRow = hit.row;
                motionObject = project.selectedObjectIndex();
                if (motionObject < 0)
                    continue;
                const MotionKind kind =
                    button == HeaderButton::Liner ? kLinerMotion : kGuideLineMotion;
                const std::int32_t mode =
                    project.objects[static_cast<std::uint32_t>(motionObject)].record.motionKind;
                wanted = mode == kind ? kNoMotion : kind;
            }
        }
    }
    select(hit);
    if (flipVisible)
        m_editor.setLayerVisible(hit.row, visible);
    if (motionObject >= 0)
        m_editor.setMotionKind(motionObject, wanted);
}

void TimelineModel::rightPress(QPoint p) {
    RowHit hit;
    {
        auto lock = m_editor.document().lock();
        hit = rowAt(lock.project(), p);
    }
    select(hit);
    if (m_target)
        m_target->post(MainMessage::ShowMenu, 0, static_cast<std::intptr_t>(MenuKind::Context));
}

bool TimelineModel::inFrameArea(QPoint p) const {
    return p.x() >= kHeaderWidth && p.x() < m_view.width() - kScrollBar && p.y() >= 0 &&
           p.y() < m_view.height() - kScrollBar;
}

TimelineModel::Drag TimelineModel::dragAt(QPoint p, int* objectIndex) const {
    if (!inFrameArea(p))
        return Drag::None;
    auto lock = m_editor.document().lock();
    const Project& project = lock.project();
    if (std::abs(p.x() - frameX(m_editor.document().currentFrame())) <= 1 && p.y() >= 20)
        return Drag::CurrentFrame;
    if (p.y() < kRulerHeight)
        return Drag::None;
    const int layers = project.layerCount();
    int index = 0;
    for (int k = 0; k < layers; ++k) {
        const int top = rowTop(k, layers);
        const int count = project.layerCounts[static_cast<std::uint32_t>(k)];
        for (int n = 0; n < count; ++n, ++index) {
            if (p.y() < top || p.y() >= top + kRowHeight)
                continue;
            const ObjectRecord& r = project.objects[static_cast<std::uint32_t>(index)].record;
            const QRect outer = outerSpan(r.startFrame, r.endFrame, top);
            const int x = p.x();
            const int outerEnd = outer.left() + outer.width(); // x(end)
            Drag found = Drag::None;
            if (x >= outer.left() && x < outer.left() + 2)
                found = Drag::OuterStart;
            else if (x >= outerEnd - 2 && x < outerEnd)
                found = Drag::OuterEnd;
            else if (r.motionKind != kNoMotion) {
                const QRect inner = outerSpan(r.motionStartFrame, r.motionEndFrame, top);
                const int innerEnd = inner.left() + inner.width();
                if (x >= inner.left() + 2 && x < inner.left() + 4)
                    found = Drag::InnerStart;
                else if (x >= innerEnd - 4 && x < innerEnd - 2)
                    found = Drag::InnerEnd;
                else if (inner.adjusted(4, 0, -4, 0).contains(p))
                    found = Drag::MoveInner;
            }
            if (found == Drag::None && outer.adjusted(2, 0, -2, 0).contains(p))
                found = Drag::MoveObject;
            if (found != Drag::None) {
                if (objectIndex)
                    *objectIndex = index;
                return found;
            }
        }
    }
    return Drag::None;
}

bool TimelineModel::dragStart(QPoint p) {
    int index = -1;
    const Drag kind = dragAt(p, &index);
    if (kind == Drag::None)
        return false;
    m_drag = kind;
    m_dragIndex = index;
    m_pressX = p.x();
    if (kind != Drag::CurrentFrame) {
        {
            auto lock = m_editor.document().lock();
            const ObjectRecord& r =
                lock.project().objects[static_cast<std::uint32_t>(index)].record;
            m_start0 = r.startFrame;
            m_end0 = r.endFrame;
            m_inner0 = r.motionStartFrame;
            m_innerEnd0 = r.motionEndFrame;
        }
        m_editor.beginObjectDrag(index); // one undo step at the release, if a span changed
    }
    return true;
}

TimelineModel::Neighbours TimelineModel::neighbours(const Project& project, int index) const {
    Neighbours result;
    const int layer = project.layerOfObject(index);
    const int first = project.firstObjectOfLayer(layer);
    const int count = project.layerCounts[static_cast<std::uint32_t>(layer)];
    if (index > first)
        result.lower = project.objects[static_cast<std::uint32_t>(index - 1)].record.endFrame;
    if (index + 1 < first + count)
        result.upper = project.objects[static_cast<std::uint32_t>(index + 1)].record.startFrame;
    return result;
}

void TimelineModel::dragMove(QPoint p) {
    if (m_drag == Drag::None)
        return;
    const int frame = frameUnder(p.x());
    if (m_drag == Drag::CurrentFrame) {
        int duration = 1;
        {
            auto lock = m_editor.document().lock();
            duration = lock.project().header.duration;
        }
        m_editor.goToFrame(std::clamp(frame, 0, std::max(duration - 1, 0)));
        return;
    }
    AnimationObject object;
    {
        auto lock = m_editor.document().lock();
        const Project& project = lock.project();
        if (m_dragIndex < 0 || m_dragIndex >= project.objectCount())
            return;
        object = project.objects[static_cast<std::uint32_t>(m_dragIndex)];
        const ObjectRecord& r = object.record;
        const Neighbours limits = neighbours(project, m_dragIndex);
        int S = r.startFrame, E = r.endFrame, s = r.motionStartFrame, e = r.motionEndFrame;
        moveSpans(limits, frame, (p.x() - m_pressX) / kFrameWidth, S, E, s, e);
        if (r.motionKind == kNoMotion) { // without a motion the inner span is the outer one
            s = S > project.header.duration ? 0 : S;
            e = E < 1 ? 0 : E;
        }
        object.record.startFrame = S;
        object.record.endFrame = E;
        object.record.motionStartFrame = s;
        object.record.motionEndFrame = e;
    }
    m_editor.dragObject(object);
}

void TimelineModel::moveSpans(const Neighbours& limits, int frame, int d, int& S, int& E, int& s,
                              int& e) const {
    // Moves the whole object so that it keeps within the neighbours on its layer.
    auto keepWithin = [&limits](int& start, int& end) {
        if (start < limits.lower) {
            end += limits.lower - start;
            start = limits.lower;
        }
        if (limits.upper && end > *limits.upper) {
            start -= end - *limits.upper;
            end = *limits.upper;
        }
    };
    switch (m_drag) {
    case Drag::OuterStart:
        S = std::max(std::min(frame, E - 2), limits.lower);
        s = std::max(s, S);
        if (e <= s)
            e = s + 1;
        break;
    case Drag::OuterEnd:
        E = std::max(frame, S + 2);
        if (limits.upper)
            E = std::min(E, *limits.upper);
        e = std::min(e, E);
        if (s > e - 1)
            s = e - 1;
        break;
    case Drag::InnerStart:
        s = std::max(std::min(frame, e - 1), S);
        break;
    case Drag::InnerEnd:
        e = std::min(std::max(frame, s + 1), E);
        break;
    case Drag::MoveObject:
        S = m_start0 + d;
        E = m_end0 + d;
        keepWithin(S, E);
        s = m_inner0 - m_start0 + S;
        e = E - (m_end0 - m_innerEnd0);
        break;
    case Drag::MoveInner: {
        const int length = e - s;
        const int ns = m_inner0 + d;
        const int ne = m_innerEnd0 + d;
        if (ns < S) { // pushes the object one frame earlier
            --S;
            --E;
            keepWithin(S, E);
            s = S;
            e = S + length;
        } else if (ne > E) { // one frame later
            ++S;
            ++E;
            keepWithin(S, E);
            e = E;
            s = E - length;
        } else {
            s = ns;
            e = ne;
        }
        break;
    }
    default:
        break;
    }
}

void TimelineModel::dragEnd() {
    const bool spanDrag = m_drag != Drag::None && m_drag != Drag::CurrentFrame;
    m_drag = Drag::None;
    m_dragIndex = -1;
    m_guard = false;
    m_pressedButton = HeaderButton::None;
    m_pressedRow = -1;
    if (spanDrag)
        m_editor.commitObjectDrag();
}
