#pragma once

#include "controls/IntegerRange.h"

#include <optional>

class MessageSink;
class QLineEdit;

// RangePrompt: the check every dialog runs on its ranged number fields when it is confirmed.
// A refused field is reported with the range prompt (caption: the product name), then gets
// the focus with its whole text selected, and the dialog stays open for the correction.
class RangePrompt {
public:
    static constexpr const char* kCaption = "Zentravo";

    // The field's number when `range` accepts it. Otherwise the prompt goes to `sink`, or to a
    // message box over the field's window when `sink` is null, and the result is empty.
    static std::optional<int> check(QLineEdit& edit, IntegerRange range,
                                    MessageSink* sink = nullptr);
};
