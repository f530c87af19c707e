#include "tools/cli/StderrMessageSink.h"

#include <iostream>

MessageAnswer StderrMessageSink::show(std::string_view text, std::string_view, MessageIcon,
                                      MessageButtons buttons) {
    std::cerr << text << "\n";
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}
