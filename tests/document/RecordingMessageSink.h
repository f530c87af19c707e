#pragma once

#include "document/MessageSink.h"

#include <string>
#include <vector>

// A MessageSink for tests: records every message and answers questions with `answer`.
class RecordingMessageSink : public MessageSink {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    std::vector<Message> messages;
    MessageAnswer answer = MessageAnswer::Yes;

    MessageAnswer show(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        messages.push_back({std::string(text), std::string(caption), icon, buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        // A two-button question has no Cancel: the tests' Cancel stands for No there.
        if (buttons == MessageButtons::YesNo && answer == MessageAnswer::Cancel)
            return MessageAnswer::No;
        return answer;
    }
    // The one message shown since the last clear(); empty text when there was none or more.
    Message only() const {
        return messages.size() == 1 ? messages.front()
                                    : Message{"", "", MessageIcon::Information, MessageButtons::Ok};
    }
    void clear() { messages.clear(); }
};
