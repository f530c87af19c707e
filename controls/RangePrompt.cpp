#include "controls/RangePrompt.h"

#include "controls/MessageBoxSink.h"

#include <QLineEdit>

std::optional<int> RangePrompt::check(QLineEdit& edit, IntegerRange range, MessageSink* sink) {
    if (const std::optional<int> value = range.parse(edit.text()))
        return value;
    const std::string prompt = range.prompt();
    MessageBoxSink boxes(edit.window());
    (sink ? *sink : static_cast<MessageSink&>(boxes))
        .show(prompt, kCaption, MessageIcon::Exclamation);
    // After the box: the focus went back to the dialog, so it is set here and not before.
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
    return std::nullopt;
}
