#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// SymbolId: the 16-byte identifier of a symbol (and, in the header, of a project). Stored and
// compared as raw bytes; all zero is the null id that text objects carry.
struct SymbolId {
    std::array<std::uint8_t, 16> bytes{};

    // 16 random bytes with the version-4 and variant bits of a random GUID set.
    static SymbolId create();

    bool isNull() const;
    // 32 lower-case hex digits of the bytes in memory order (used for file names and output).
    std::string toHex() const;
    // The id written as 32 hex digits (either case); nothing for any other text.
    static std::optional<SymbolId> fromHex(std::string_view text);

    friend bool operator==(const SymbolId&, const SymbolId&) = default;
};
