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
class StageCanvas;

// StageEditor: the stage view's editing rules without a window: picking objects through their
// transformed hit regions, the twelve handles through the handle matrix, moving, scaling and
// rotating the selected object, nudging it with the arrow keys, resizing the stage by its
// edges, and the scroll bars' ranges, placement and requests. Points come in window (client)
// coordinates; adding the scroll position gives zoomed stage coordinates; dividing by the zoom
// gives stage pixels. It edits the canvas's document under its lock and tells the main window
// through `target`.
// Invariant: a drag that changed nothing announces no edit (and so pushes no undo step).
class StageEditor {
public:
    static constexpr int kScrollBar = 15;
    // What the pointer shows over a point.
    enum class Cursor { Arrow, SizeWE, SizeNS, SizeNWSE, SizeNESW, Rotate, Move };
    enum class Mode { None, Move, Handle, StageResize };

    StageEditor(StageCanvas& canvas, MessageTarget* target);

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
    // Scroll request codes: 0 one pixel back, 1 one forward, 2 thirty back, 3 thirty forward,
    // 4 and 5 to `value`, 6 to the start, 7 to the end.
    void scrollRequest(Qt::Orientation orientation, int code, int value = 0);
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
    int handle() const { return m_handle; }

    // While the stage is resized: the zoomed size the outline shows and the read-out text.
    std::optional<QSize> resizeOutline() const;
    QString resizeReadout() const;

    // The scale a slider or handle may give: the 16 / (width + height) floor.
    static float scaleFloor(int width, int height);
    // direction(a -> b) in degrees, y downwards: straight down is +90, straight up -90.
    static double direction(QPointF a, QPointF b);

private:
    struct Snapshot {
        float startX = 0, startY = 0, startScale = 0, startAngle = 0;
        bool operator==(const Snapshot&) const = default;
    };
    // The first selected object, or nullptr.
    static AnimationObject* firstSelected(Project& project);
    int handleAt(QPoint q) const;
    int resizeHandleAt(QPoint q) const;
    QSize resizeSize(QPoint q) const;
    void post(MainMessage message, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    void applyScroll();

    StageCanvas& m_canvas;
    MessageTarget* m_target;
    QSize m_client{400, 300};
    QPoint m_scroll;

    Mode m_mode = Mode::None;
    int m_handle = -1;
    int m_resizeHandle = -1; // 0 right edge, 1 corner, 2 bottom edge
    QPoint m_pivot;
    QPoint m_dragStart;
    QPoint m_lastPoint;
    Snapshot m_before;
};
