// zentravo-langpack: build step that writes the enciphered language tables the core library
// keeps in its resources.  Usage: zentravo-langpack english|chinese OUTPUT
#include "document/LanguagePack.h"
#include "document/LanguageTexts.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 ||
        (std::strcmp(argv[1], "english") != 0 && std::strcmp(argv[1], "chinese") != 0)) {
        std::fprintf(stderr, "usage: zentravo-langpack english|chinese OUTPUT\n");
        return 2;
    }
    const bool chinese = std::strcmp(argv[1], "chinese") == 0;
    const auto bytes =
        LanguagePack::build(chinese ? LanguageTexts::chinese() : LanguageTexts::english());
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file) return 1;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
