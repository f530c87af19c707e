#include "document/SymbolId.h"

#include <QRandomGenerator>

SymbolId SymbolId::create() {
    SymbolId id;
    QRandomGenerator* random = QRandomGenerator::system();
    for (std::size_t i = 0; i < id.bytes.size(); i += 4) {
        const quint32 word = random->generate();
        for (std::size_t k = 0; k < 4; ++k)
            id.bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    // GUID layout: Data3 (bytes 6..7, little-endian) carries the version in its high nibble,
    // Data4[0] (byte 8) the variant bits 10xxxxxx.
    id.bytes[7] = static_cast<std::uint8_t>((id.bytes[7] & 0x0F) | 0x40);
    id.bytes[8] = static_cast<std::uint8_t>((id.bytes[8] & 0x3F) | 0x80);
    return id;
}

bool SymbolId::isNull() const {
    for (std::uint8_t b : bytes)
        if (b != 0)
            return false;
    return true;
}

std::string SymbolId::toHex() const {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (std::uint8_t b : bytes) {
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 0x0F]);
    }
    return hex;
}

std::optional<SymbolId> SymbolId::fromHex(std::string_view text) {
    if (text.size() != 32)
        return std::nullopt;
    const auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    SymbolId id;
    for (std::size_t i = 0; i < id.bytes.size(); ++i) {
        const int high = digit(text[2 * i]);
        const int low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        id.bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return id;
}
