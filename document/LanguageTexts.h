#pragma once

#include "document/LanguageText.h"

#include <span>

// LanguageTexts: the wording of the two language tables, by entry number. The English table is
// also the built-in fallback used when the language file cannot be written or read. Plain data
// without Qt, so that the build tool that enciphers the tables can use it too.
class LanguageTexts {
public:
    static std::span<const LanguageText> english();
    static std::span<const LanguageText> chinese();
};
