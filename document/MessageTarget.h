#pragma once

#include "document/MainMessage.h"

#include <cstdint>

// MessageTarget: receives the messages panels and workers send the main window. The main
// window implements it; tests record the calls.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual void post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) = 0;
};
