#pragma once

#include "document/MessageSink.h"

// StderrMessageSink: the command-line tool's MessageSink: each message is one line on stderr
// (the text alone; the caption says nothing a terminal user needs). Questions are answered No,
// so that nothing destructive happens without a user.
class StderrMessageSink : public MessageSink {
public:
    MessageAnswer show(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
};
