#pragma once

#include "document/LanguageText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// LanguagePack: the enciphered form of a language table, as kept in the resources and
// written out as "lang.qld". Deciphered layout (little-endian):
//   entry count E (u32), then E fields of 260 bytes, field i = text of entry i,
//   NUL-terminated, zero-filled (entries without text are empty).
// The cipher XORs every byte with a xorshift32 key stream; it keeps the texts out of plain
// sight in the executable, nothing more. Plain C++ so that the build tool can use it.
class LanguagePack {
public:
    static constexpr std::size_t kFieldSize = 260;
    static constexpr std::uint32_t kMaxEntries = 4096;
    using Field = std::array<char, kFieldSize>;

    // The enciphered pack of `texts` (entries may come in any order; texts longer than 259
    // bytes are cut).
    static std::vector<std::uint8_t> build(std::span<const LanguageText> texts);
    // The fields of an enciphered pack; nothing when the bytes are not a whole pack.
    static std::optional<std::vector<Field>> open(std::span<const std::uint8_t> bytes);
    // Enciphers or deciphers (the same operation) in place.
    static void applyCipher(std::span<std::uint8_t> bytes);
};
