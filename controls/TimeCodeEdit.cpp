#include "controls/TimeCodeEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <cstdlib>

TimeCodeEdit::TimeCodeEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setText(m_model.text());
    lineEdit()->setAcceptDrops(false);
    lineEdit()->installEventFilter(this);
    // The edit's own context menu would offer Paste and Delete, which break the pattern.
    setContextMenuPolicy(Qt::NoContextMenu);
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
}

bool TimeCodeEdit::setTimeCode(const QString& text) {
    if (!m_model.setText(text))
        return false;
    showText(0);
    return true;
}

void TimeCodeEdit::setFrameLimit(std::uint32_t limit) {
    m_model.setFrameLimit(limit);
    showText(lineEdit()->cursorPosition());
}

void TimeCodeEdit::showText(int caret) {
    lineEdit()->setText(m_model.text());
    lineEdit()->setCursorPosition(caret);
}

void TimeCodeEdit::selectActiveField() {
    lineEdit()->setSelection(TimeCodeModel::fieldStart(m_model.activeField()), 2);
}

void TimeCodeEdit::stepBy(int steps) {
    // The up arrow steps up (+1): Qt's spin box already reports it that way round.
    for (int k = 0; k < std::abs(steps); ++k)
        m_model.spin(steps > 0 ? 1 : -1);
    showText(0);
    selectActiveField();
    emit changed();
}

QAbstractSpinBox::StepEnabled TimeCodeEdit::stepEnabled() const {
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

QValidator::State TimeCodeEdit::validate(QString& input, int&) const {
    // Only the model writes the text; anything else reaching the edit is refused.
    return input == m_model.text() ? QValidator::Acceptable : QValidator::Invalid;
}

void TimeCodeEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Stepped here rather than by the spin box, which would select the whole text.
        stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QAbstractSpinBox::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() != 1 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        event->accept(); // Backspace, Delete, paste: the pattern never loses a character
        return;
    }
    QLineEdit* edit = lineEdit();
    const int position = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (m_model.type(position, typed[0])) {
        showText(position + 1);
        emit changed();
    }
    event->accept();
}

bool TimeCodeEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            setFocus(Qt::MouseFocusReason);
            m_model.click(lineEdit()->cursorPositionAt(mouse->position().toPoint()));
            selectActiveField();
            return true;
        }
    }
    if (watched == lineEdit() &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonDblClick))
        return true; // a drag or double click would select across the fields
    return QAbstractSpinBox::eventFilter(watched, event);
}
