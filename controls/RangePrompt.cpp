#include "controls/RangePrompt.h"

#include "document/MessageSink.h"

#include <QLineEdit>
#include <QMessageBox>

std::optional<int> RangePrompt::check(QLineEdit& edit, IntegerRange range, MessageSink* sink) {
    if (const std::optional<int> value = range.parse(edit.text()))
        return value;
    const std::string prompt = range.prompt();
    if (sink) {
        sink->show(prompt, kCaption, MessageIcon::Exclamation);
    } else {
        QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kCaption),
                        QString::fromStdString(prompt), QMessageBox::Ok, edit.window());
        box.exec();
    }
    // After the box: the focus went back to the dialog, so it is set here and not before.
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
    return std::nullopt;
}
