#pragma once

#include <cstring>
#include <string>
#include <string_view>

// Helpers for the fixed-size, NUL-terminated byte fields of the persisted records
// (names, paths and texts of 256 or 260 bytes). Texts are bytes, not QString.

// Copies `text` into `field`, cut so that the terminating NUL always fits; the rest of the
// field is cleared so that equal texts give equal bytes.
template <std::size_t N> void setFixedText(char (&field)[N], std::string_view text) {
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, N - length);
}

// The text up to the first NUL, or the whole field when it holds none.
template <std::size_t N> std::string fixedText(const char (&field)[N]) {
    const void* nul = std::memchr(field, 0, N);
    const std::size_t length = nul ? static_cast<const char*>(nul) - field : N;
    return std::string(field, length);
}
