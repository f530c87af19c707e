#pragma once

#include <cstddef>
#include <cstdint>

// LogFontA: the 60-byte Windows font record kept inside a text object's record. Height follows
// Windows: negative = character height, positive = cell height, in pixels.
struct LogFontA {
    std::int32_t height;
    std::int32_t width;
    std::int32_t escapement;
    std::int32_t orientation;
    std::int32_t weight; // 400 normal, 700 bold
    std::uint8_t italic;
    std::uint8_t underline;
    std::uint8_t strikeOut;
    std::uint8_t charSet;
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    char faceName[32];
};

static_assert(sizeof(LogFontA) == 60);
static_assert(offsetof(LogFontA, weight) == 16);
static_assert(offsetof(LogFontA, italic) == 20);
static_assert(offsetof(LogFontA, faceName) == 28);
