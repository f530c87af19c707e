#include "controls/MessageBoxSink.h"

#include <QMessageBox>
#include <QString>

MessageAnswer MessageBoxSink::show(std::string_view text, std::string_view caption,
                                   MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromUtf8(caption.data(), qsizetype(caption.size())));
    box.setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    box.setIcon(icon == MessageIcon::Exclamation ? QMessageBox::Warning
                : icon == MessageIcon::Question  ? QMessageBox::Question
                                                 : QMessageBox::Information);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    if (buttons == MessageButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
        }
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}
