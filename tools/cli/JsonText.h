#pragma once

#include <string>

// JsonText: a record text or a path as a JSON string literal. The bytes read as UTF-8 when
// they are valid UTF-8, else as Latin-1 (as project texts do); the literal is UTF-8 with
// quotes, backslashes and control characters escaped.
class JsonText {
public:
    static std::string quoted(const std::string& bytes);
};
