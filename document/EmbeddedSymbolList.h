#pragma once

#include "document/BlockList.h"
#include "document/EmbeddedSymbol.h"

// EmbeddedSymbolList: the project's symbol pictures, held beside the project. At most one
// record per SymbolId; records that nothing refers to are purged by the undo history.
class EmbeddedSymbolList {
public:
    BlockList<EmbeddedSymbol> records;

    EmbeddedSymbol* find(const SymbolId& id);
    const EmbeddedSymbol* find(const SymbolId& id) const;
    // The position of the record with `id`, -1 when there is none.
    int indexOf(const SymbolId& id) const;
    // Removes the record with `id`, if any; true when one was removed.
    bool remove(const SymbolId& id);
    // Appends `symbol`, first removing a record with the same id.
    void replace(EmbeddedSymbol symbol);
    std::uint32_t count() const { return records.count(); }
};
