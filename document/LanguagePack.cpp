#include "document/LanguagePack.h"

#include <algorithm>
#include <cstring>

std::vector<std::uint8_t> LanguagePack::build(std::span<const LanguageText> texts) {
    std::uint32_t count = 0;
    for (const LanguageText& text : texts)
        count = std::max(count, static_cast<std::uint32_t>(text.entry) + 1);
    std::vector<std::uint8_t> bytes(4 + std::size_t(count) * kFieldSize, 0);
    for (int k = 0; k < 4; ++k)
        bytes[k] = static_cast<std::uint8_t>(count >> (8 * k));
    for (const LanguageText& text : texts) {
        const std::size_t length = std::min(std::strlen(text.text), kFieldSize - 1);
        std::memcpy(bytes.data() + 4 + std::size_t(text.entry) * kFieldSize, text.text, length);
    }
    applyCipher(bytes);
    return bytes;
}

std::optional<std::vector<LanguagePack::Field>>
LanguagePack::open(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) return std::nullopt;
    std::vector<std::uint8_t> plain(bytes.begin(), bytes.end());
    applyCipher(plain);
    std::uint32_t count = 0;
    for (int k = 0; k < 4; ++k)
        count |= std::uint32_t(plain[k]) << (8 * k);
    if (count == 0 || count > kMaxEntries || plain.size() != 4 + std::size_t(count) * kFieldSize)
        return std::nullopt;
    std::vector<Field> fields(count);
    for (std::uint32_t i = 0; i < count; ++i)
        std::memcpy(fields[i].data(), plain.data() + 4 + std::size_t(i) * kFieldSize, kFieldSize);
    return fields;
}

void LanguagePack::applyCipher(std::span<std::uint8_t> bytes) {
    std::uint32_t state = 0x5A3C9E17u;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(byte ^ (state >> 11));
    }
}
