#include "document/TimelineModel.h"

#include "document/Document.h"
#include "document/MessageTarget.h"
#include "document/ProjectEditor.h"

#include <algorithm>
#include <cstdlib>

TimelineModel::TimelineModel(ProjectEditor& editor, MessageTarget* target)
    : m_editor(editor), m_target(target) {}

void TimelineModel::post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    if (m_target)
        m_target->post(message, wparam, lparam);
}

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

int TimelineModel::selectAt(Project& project, QPoint p, bool& objectSelected) {
    objectSelected = false;
    const int layers = project.layerCount();
    const int visibleHeight = m_view.height() - kScrollBar;
    int first = 0;
    int hitRow = -1;
    for (int k = 0; k < layers; first += project.layerCounts[static_cast<std::uint32_t>(k)], ++k) {
        const int top = rowTop(k, layers);
        if (top >= visibleHeight)
            continue; // below the visible area
        if (top + kRowHeight < kRulerHeight)
            break; // this row and every later one lie above the ruler's bottom
        if (p.y() < top || p.y() >= top + kRowHeight)
            continue;
        hitRow = k;
        if (p.x() < kHeaderWidth)
            continue;
        project.clearLayerSelection();
        project.layerSelected[static_cast<std::uint32_t>(k)] = 1;
        const int count = project.layerCounts[static_cast<std::uint32_t>(k)];
        for (int i = first; i < first + count; ++i) {
            AnimationObject& object = project.objects[static_cast<std::uint32_t>(i)];
            if (!outerSpan(object.record.startFrame, object.record.endFrame, top).contains(p))
                continue;
            project.clearObjectSelection();
            object.record.selected = 1;
            objectSelected = true;
        }
    }
    return hitRow;
}

void TimelineModel::leftPress(QPoint p) {
    if (m_guard)
        return;
    m_guard = true;
    bool objectSelected = false;
    bool visibilityFlipped = false;
    bool modeChanged = false;
    {
        auto lock = m_editor.document().lock();
        Project& project = lock.project();
        const int row = selectAt(project, p, objectSelected);
        if (row >= 0) {
            const auto k = static_cast<std::uint32_t>(row);
            const int top = rowTop(row, project.layerCount());
            const int object = project.selectedObjectIndex();
            if (headerButton(HeaderButton::Visible, top).contains(p)) {
                m_pressedButton = HeaderButton::Visible;
                m_pressedRow = row;
                project.layerVisible[k] = project.layerVisible[k] ? 0 : 1;
                visibilityFlipped = true;
            }
            // The motion buttons act only on the selected layer's selected object.
            for (HeaderButton button : {HeaderButton::Liner, HeaderButton::GuideLine}) {
                if (!headerButton(button, top).contains(p) || project.selectedLayerIndex() != row)
                    continue;
                m_pressedButton = button;
                m_pressedRow = row;
                if (object < 0)
                    continue;
                std::int32_t& mode = project.objects[static_cast<std::uint32_t>(object)].record.motionKind;
                const std::int32_t wanted =
                    button == HeaderButton::Liner ? kLinerMotion : kGuideLineMotion;
                mode = mode == wanted ? kNoMotion : wanted;
                modeChanged = true;
            }
        }
    }
    if (objectSelected)
        post(MainMessage::ObjectsChanged);
    if (visibilityFlipped)
        post(MainMessage::RedrawStage);
    if (modeChanged)
        m_editor.finishPanelEdit();
}

void TimelineModel::rightPress(QPoint p) {
    bool objectSelected = false;
    {
        auto lock = m_editor.document().lock();
        selectAt(lock.project(), p, objectSelected);
    }
    if (objectSelected)
        post(MainMessage::ObjectsChanged);
    post(MainMessage::ShowMenu, 0, 0);
}

void TimelineModel::selectFromStage() {
    auto lock = m_editor.document().lock();
    Project& project = lock.project();
    const int object = project.selectedObjectIndex();
    project.clearLayerSelection();
    const int layer = project.layerOfObject(object);
    if (layer >= 0)
        project.layerSelected[static_cast<std::uint32_t>(layer)] = 1;
}

TimelineModel::Drag TimelineModel::dragAt(QPoint p, int* objectIndex) const {
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
        auto lock = m_editor.document().lock();
        const ObjectRecord& r = lock.project().objects[static_cast<std::uint32_t>(index)].record;
        m_start0 = r.startFrame;
        m_end0 = r.endFrame;
        m_inner0 = r.motionStartFrame;
        m_innerEnd0 = r.motionEndFrame;
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
        post(MainMessage::CurrentFrame, 1, std::clamp(frame, 0, std::max(duration - 1, 0)));
        return;
    }
    {
        auto lock = m_editor.document().lock();
        Project& project = lock.project();
        if (m_dragIndex < 0 || m_dragIndex >= project.objectCount())
            return;
        ObjectRecord& r = project.objects[static_cast<std::uint32_t>(m_dragIndex)].record;
        const Neighbours limits = neighbours(project, m_dragIndex);
        int S = r.startFrame, E = r.endFrame, s = r.motionStartFrame, e = r.motionEndFrame;
        const int d = (p.x() - m_pressX) / kFrameWidth;
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
        if (r.motionKind == kNoMotion) { // without a motion the inner span is the outer one
            s = S > project.header.duration ? 0 : S;
            e = E < 1 ? 0 : E;
        }
        r.startFrame = S;
        r.endFrame = E;
        r.motionStartFrame = s;
        r.motionEndFrame = e;
    }
    post(MainMessage::RedrawStage);
}

void TimelineModel::dragEnd() {
    bool changed = false;
    if (m_drag != Drag::None && m_drag != Drag::CurrentFrame) {
        auto lock = m_editor.document().lock();
        const Project& project = lock.project();
        if (m_dragIndex >= 0 && m_dragIndex < project.objectCount()) {
            const ObjectRecord& r = project.objects[static_cast<std::uint32_t>(m_dragIndex)].record;
            changed = r.startFrame != m_start0 || r.endFrame != m_end0 ||
                      r.motionStartFrame != m_inner0 || r.motionEndFrame != m_innerEnd0;
        }
    }
    m_drag = Drag::None;
    m_dragIndex = -1;
    m_guard = false;
    m_pressedButton = HeaderButton::None;
    m_pressedRow = -1;
    if (changed)
        m_editor.finishPanelEdit();
}
