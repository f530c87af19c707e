#pragma once

#include "document/MainMessage.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

class AnimationObject;
class MessageTarget;
class Project;
class ProjectEditor;
class StageCanvas;

// StageEditor: the stage view's editing rules without a window: picking objects through their
// transformed hit regions, the twelve handles through the handle matrix, moving, scaling and
// rotating the selected object, nudging it with the arrow keys, resizing the stage by its
// edges, and the scroll bars' ranges, placement and requests. Points come in window (client)
// coordinates; adding the scroll position gives zoomed stage coordinates; dividing by the zoom
// gives stage pixels. It reads the canvas's document and hands every change to the command
// layer: a pick, a drag of the selected object (one undo step at the release when it moved),
// a nudge, a stage resize. The main window hears only its requests for a menu (`target`).
class StageEditor {
public:
    static constexpr int kScrollBar = 15;
    // What the pointer shows over a point.
    enum class Cursor { Arrow, SizeWE, SizeNS, SizeNWSE, SizeNESW, Rotate, Move };
    enum class Mode { None, Move, Handle, StageResize };
    // The twelve handles around the selected object: eight squares that scale it and four
    // circles outside the corners that turn it.
    enum Handle : int {
        kNoHandle = -1,
        kTopLeft = 0,
        kLeftMiddle = 1,
        kBottomLeft = 2,
        kBottomMiddle = 3,
        kBottomRight = 4,
        kRightMiddle = 5,
        kTopRight = 6,
        kTopMiddle = 7,
        kTurnTopLeft = 8,
        kTurnBottomLeft = 9,
        kTurnTopRight = 10,
        kTurnBottomRight = 11,
    };
    // The scroll bars' requests.
    enum class Scroll {
        LineBack = 0,
        LineForward = 1,
        PageBack = 2,
        PageForward = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Start = 6,
        End = 7,
    };
    // The stage's own resize handles, in the order the drag numbers them.
    enum class ResizeHandle { None = -1, RightEdge = 0, Corner = 1, BottomEdge = 2 };

    StageEditor(StageCanvas& canvas, ProjectEditor& editor, MessageTarget* target);

    // ---- scrolling ----
    struct ScrollBars {
        int horizontalRange = 0; // 0: the bar is hidden
        int verticalRange = 0;
        QRect horizontal; // placement in the client area
        QRect vertical;
    };
    void setClientSize(QSize size);
    QSize clientSize() const { return m_client; }
    ScrollBars scrollBars() const;
    QPoint scroll() const { return m_scroll; }
    // One pixel back or forward, thirty back or forward, to `value`, to the start or the end.
    void scrollRequest(Qt::Orientation orientation, Scroll request, int value = 0);
    // Minus the wheel delta in pixels (120 a notch), sideways when the horizontal bar has the
    // focus.
    void wheel(int delta, bool horizontalBarFocused);

    // ---- mouse and keys ----
    void press(QPoint p);
    void move(QPoint p);
    void release(QPoint p);
    // The first selected object moves one stage pixel (also on a hidden layer).
    void nudge(int dx, int dy);
    void contextMenu();
    Cursor cursorAt(QPoint p) const;
    Mode mode() const { return m_mode; }
    Handle handle() const { return m_handle; }

    // While the stage is resized: the zoomed size the outline shows and the read-out text.
    std::optional<QSize> resizeOutline() const;
    QString resizeReadout() const;

    // The scale a slider or handle may give: the 16 / (width + height) floor.
    static float scaleFloor(int width, int height);
    // direction(a -> b) in degrees, y downwards: straight down is +90, straight up -90.
    static double direction(QPointF a, QPointF b);

private:
    Handle handleAt(QPoint q) const;
    ResizeHandle resizeHandleAt(QPoint q) const;
    QSize resizeSize(QPoint q) const;
    // The object under `q` on a visible layer, the later drawn first; -1 for none.
    int objectAt(QPoint q) const;
    // Where the dragged object goes for the pointer at `p`; false when it stays.
    bool dragTo(AnimationObject& object, QPoint p) const;
    void releaseStageResize(QPoint p);
    void applyScroll();

    StageCanvas& m_canvas;
    ProjectEditor& m_editor;
    MessageTarget* m_target;
    QSize m_client{400, 300};
    QPoint m_scroll;

    Mode m_mode = Mode::None;
    Handle m_handle = kNoHandle;
    ResizeHandle m_resizeHandle = ResizeHandle::None;
    QPoint m_pivot;
    QPoint m_dragStart;
    QPoint m_lastPoint;
    bool m_movable = false; // the dragged object has a hit region
};
