#pragma once

#include <string_view>

enum class MessageIcon {
    Information,
    Exclamation,
    Question,
};

enum class MessageButtons {
    Ok,
    YesNo,
    YesNoCancel, // Cancel (and Esc, and closing the box) takes the question back
};

enum class MessageAnswer {
    Ok,
    Yes,
    No,
    Cancel,
};

// MessageSink: the one way the program's logic shows a message to the user (a message box in
// the application, a recording in tests, stderr in the command-line tool). Texts are the
// program's 8-bit record texts (UTF-8 here); captions are "Error", the product name, or a
// language table entry.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows `text` and returns the button the user chose (Ok for a box with one button).
    virtual MessageAnswer show(std::string_view text, std::string_view caption, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};
