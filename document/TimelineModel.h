#pragma once

#include "document/MainMessage.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

class MessageTarget;
class Project;
class ProjectEditor;

// TimelineModel: the timeline panel's rules without a window: its geometry (frames 10 pixels
// wide from x = 190, rows 26 high under a 30-pixel ruler, layer 0 the bottom row), the row
// presses that select layers and objects and press the header buttons, the span drags that
// stretch and move objects, scrubbing the current frame, and the scroll ranges. It reads the
// editor's document and hands every change to the command layer (ProjectEditor): selection,
// visibility and motion kind as one-shot commands, span drags as drags. The main window hears
// only its requests for the context menu (`target`).
// Invariant: a span drag ends in one snapshot, and only when it changed a span; a drag starts
// only from a press inside the frame area (right of the row headers, inside the scroll bars).
class TimelineModel {
public:
    static constexpr int kFrameWidth = 10;
    static constexpr int kHeaderWidth = 190;
    static constexpr int kRulerHeight = 30;
    static constexpr int kRowHeight = 26;
    static constexpr int kScrollBar = 15;

    enum class HeaderButton { None = -1, Visible = 0, Liner = 1, GuideLine = 2 };
    // What a press forwarded by the main window starts.
    enum class Drag {
        None = -1,
        OuterStart = 0,
        OuterEnd = 1,
        InnerStart = 2,
        InnerEnd = 3,
        MoveObject = 4,
        MoveInner = 5,
        CurrentFrame = 6,
    };

    TimelineModel(ProjectEditor& editor, MessageTarget* target);

    // ---- geometry (client pixels) ----
    void setViewSize(QSize size) { m_view = size; }
    QSize viewSize() const { return m_view; }
    // The ruler's length in frames: the largest duration of the run.
    void setRulerLength(int frames) { m_rulerLength = frames; }
    int rulerLength() const { return m_rulerLength; }
    int frameX(int frame) const { return frame * kFrameWidth + kHeaderWidth - m_scrollX; }
    int rowTop(int layer, int layerCount) const {
        return (layerCount - 1 - layer) * kRowHeight - m_scrollY + kRulerHeight;
    }
    // The frame under x: 0 left of the frame area, the frame at the visible width right of it.
    int frameUnder(int x) const;
    // The header buttons of a row whose top is `rowTop`.
    static QRect headerButton(HeaderButton button, int rowTop);
    // The spans of an object on its row: outer (frames start..end) and inner (the motion).
    QRect outerSpan(int start, int end, int rowTop) const;

    // ---- scrolling ----
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    // The largest offsets: content (ruler and rows; header and frames) beyond the visible
    // area, which leaves room for the 15-pixel scroll bars.
    int maxScrollX() const;
    int maxScrollY(int layerCount) const;
    void setScroll(int x, int y);
    // Vertical line and page steps are one row; horizontal line steps 1 pixel, pages 30.
    static constexpr int kVerticalStep = kRowHeight;
    static constexpr int kHorizontalLine = 1;
    static constexpr int kHorizontalPage = 30;

    // ---- presses ----
    // A left press on the panel: layer and object selection, header buttons. Ignored while an
    // earlier press has not been released (the guard).
    void leftPress(QPoint p);
    // A right press: the same selection, then the main window's context menu.
    void rightPress(QPoint p);
    HeaderButton pressedButton() const { return m_pressedButton; }
    int pressedButtonRow() const { return m_pressedRow; }
    bool guard() const { return m_guard; }

    // ---- drags (forwarded by the main window; after the press anywhere in it) ----
    // True inside the frame area: right of the row headers, above and left of the scroll bars.
    bool inFrameArea(QPoint p) const;
    // What a press at `p` would start: for the cursor while hovering, and for dragStart().
    Drag dragAt(QPoint p, int* objectIndex = nullptr) const;
    // True when the press started a drag (the main window then captures the mouse).
    bool dragStart(QPoint p);
    void dragMove(QPoint p);
    // Ends a drag or a press; one snapshot when a span changed.
    void dragEnd();
    Drag drag() const { return m_drag; }

private:
    struct Neighbours {
        int lower = 0;            // end of the previous object on the layer, or 0
        std::optional<int> upper; // start of the next object on the layer
    };
    // Row hit test shared by left and right presses: the layer row hit (-1 for none), the layer
    // a press right of the header selects and the object under the point (-1 for none).
    struct RowHit {
        int row = -1;
        int layer = -1;
        int object = -1;
    };
    RowHit rowAt(const Project& project, QPoint p) const;
    void select(const RowHit& hit);
    Neighbours neighbours(const Project& project, int index) const;
    // The span drag's rules: the outer span S..E and the inner span s..e for the pointer over
    // `frame`, `d` frames from the press.
    void moveSpans(const Neighbours& limits, int frame, int d, int& S, int& E, int& s,
                   int& e) const;

    ProjectEditor& m_editor;
    MessageTarget* m_target;
    QSize m_view{600, 200};
    int m_rulerLength = 20;
    int m_scrollX = 0;
    int m_scrollY = 0;

    bool m_guard = false;
    HeaderButton m_pressedButton = HeaderButton::None;
    int m_pressedRow = -1;

    Drag m_drag = Drag::None;
    int m_dragIndex = -1;
    int m_pressX = 0;
    int m_start0 = 0, m_end0 = 0, m_inner0 = 0, m_innerEnd0 = 0; // spans at the press
};
