#include "app/KeyRouting.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

constexpr KeyRouting::Route command(CommandId id) {
    return {KeyRouting::Kind::Command, id};
}

} // namespace

KeyRouting::Route KeyRouting::route(int key, Qt::KeyboardModifiers modifiers, bool textEntry) {
    if (modifiers & Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_N:
            return command(CommandId::NewProject);
        case Qt::Key_O:
            return command(CommandId::OpenProject);
        case Qt::Key_S:
            return command((modifiers & Qt::ShiftModifier) ? CommandId::SaveAs : CommandId::Save);
        // Inside a text entry the clipboard and undo keys edit the text.
        case Qt::Key_Z:
            return textEntry ? Route{} : command(CommandId::Undo);
        case Qt::Key_Y:
            return textEntry ? Route{} : command(CommandId::Redo);
        case Qt::Key_C:
            return textEntry ? Route{} : command(CommandId::Copy);
        case Qt::Key_V:
            return textEntry ? Route{} : command(CommandId::Paste);
        default:
            return {};
        }
    }
    if (modifiers & Qt::AltModifier) {
        switch (key) {
        case Qt::Key_F:
            return command(CommandId::FileMenu);
        case Qt::Key_E:
            return command(CommandId::EditMenu);
        case Qt::Key_C:
            return command(CommandId::PlayMenu);
        case Qt::Key_H:
            return command(CommandId::HelpMenu);
        default:
            return {};
        }
    }
    switch (key) {
    case Qt::Key_Escape:
        return {Kind::Swallow, CommandId::None}; // the window never closes on Esc
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return textEntry ? Route{} : Route{Kind::Swallow, CommandId::None};
    case Qt::Key_Delete:
        return textEntry ? Route{} : command(CommandId::Delete);
    case Qt::Key_F1:
        return command(CommandId::Help);
    default:
        return {};
    }
}

bool KeyRouting::isTextEntry(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w))
            return true;
        if (const auto* combo = qobject_cast<const QComboBox*>(w); combo && combo->isEditable())
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}
