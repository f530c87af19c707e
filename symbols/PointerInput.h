#pragma once

#include <QPoint>

enum class PointerAction {
    Press,       // left button down
    Move,        // pointer moved (tools act on it only while the left button is down)
    Release,     // left button up
    RightPress,  // right button down
    DoubleClick, // left double click (it takes the place of the second press)
};

// PointerInput: one pointer event for the painting tools, at a canvas pixel (already mapped from
// the window by the viewport), so that every tool can be driven without a window.
struct PointerInput {
    PointerAction action = PointerAction::Press;
    QPoint point;
};
