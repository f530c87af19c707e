#pragma once

#include "document/SymbolId.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// SymbolEditorLauncher: how the library panel runs the symbol editor (a modal window that the
// editor's own code provides). Each call returns once the editor has closed, with true only
// when it ended with OK and wrote the symbol into the library folder; the panel then reloads.
class SymbolEditorLauncher {
public:
    virtual ~SymbolEditorLauncher() = default;
    // A new symbol: on OK the editor stores it with SymbolLibrary::addSymbol (file, then a new
    // index entry at the end).
    virtual bool editNewSymbol(const std::string& libraryFolder) = 0;
    // An existing symbol and its frame count: on OK the editor rewrites its file with
    // SymbolLibrary::writeSymbol (same id; the index is left alone).
    virtual bool editSymbol(const std::string& libraryFolder, const SymbolId& id,
                            std::uint32_t frameCount) = 0;
    // Work recovered after a crash: `frames` as they were being edited, for the library symbol
    // `editing` (none: a new symbol). On OK the editor writes them over that symbol, or adds
    // them as a new one.
    virtual bool editRecovered(const std::string& libraryFolder,
                               const std::optional<SymbolId>& editing,
                               const std::vector<QImage>& frames) = 0;
};
