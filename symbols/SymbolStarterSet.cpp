#include "symbols/SymbolStarterSet.h"

#include "symbols/Symbol.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolLibraryIndex.h"
#include "symbols/SymbolStarterArt.h"

#include <filesystem>

int SymbolStarterSet::installIfFirstStart(const std::string& folder) {
    const SymbolLibrary library(folder);
    std::error_code error;
    if (std::filesystem::exists(library.indexPath(), error))
        return 0;
    std::filesystem::create_directories(library.folder(), error);
    std::vector<SymbolId> ids;
    for (const std::vector<QImage>& frames : SymbolStarterArt::all()) {
        const SymbolId id = SymbolId::create();
        if (Symbol::writeFile(library.symbolPath(id), frames))
            ids.push_back(id);
    }
    // The index comes last: until it exists, the next start tries again from scratch.
    if (ids.empty() || !SymbolLibraryIndex::write(library.indexPath(), ids)) {
        for (const SymbolId& id : ids)
            std::filesystem::remove(library.symbolPath(id), error);
        return 0;
    }
    return int(ids.size());
}
