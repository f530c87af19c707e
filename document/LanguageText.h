#pragma once

// LanguageText: one numbered user-interface text of a language table (UTF-8 bytes).
struct LanguageText {
    int entry;
    const char* text;
};
