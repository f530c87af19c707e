#include "tools/cli/StderrMessageSink.h"

#include <iostream>

MessageAnswer StderrMessageSink::show(std::string_view text, std::string_view, MessageIcon,
                                      MessageButtons buttons) {
    std::cerr << text << "\n";
    switch (buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Cancel; // nobody answers: nothing is decided for the user
    case MessageButtons::Ok:
        break;
    }
    return MessageAnswer::Ok;
}
