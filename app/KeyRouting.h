#pragma once

#include "app/CommandId.h"

#include <Qt>

class QWidget;

// KeyRouting: what the main window does with a key pressed anywhere in it: run one of its
// shortcuts, swallow the key (Esc never closes the window; Enter is no default button), or
// leave it to the control with the focus. A control where text is typed keeps the keys that
// edit text (Enter, Delete, and Ctrl+Z/Y/C/V), so typing never acts on the project.
class KeyRouting {
public:
    enum class Kind { Pass, Swallow, Command };
    struct Route {
        Kind kind = Kind::Pass;
        CommandId command = CommandId::None;
    };

    static Route route(int key, Qt::KeyboardModifiers modifiers, bool textEntryFocused);
    // True for the controls where text is typed: line and text edits, spin boxes, editable
    // combo boxes (and anything inside one of them).
    static bool isTextEntry(const QWidget* widget);
};
