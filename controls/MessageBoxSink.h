#pragma once

#include "document/MessageSink.h"

class QWidget;

// MessageBoxSink: shows the program's messages in message boxes over a parent window.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent = nullptr) : m_parent(parent) {}
    MessageAnswer show(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    QWidget* m_parent;
};
