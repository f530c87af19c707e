#include "document/EmbeddedSymbolList.h"

EmbeddedSymbol* EmbeddedSymbolList::find(const SymbolId& id) {
    for (EmbeddedSymbol& symbol : records)
        if (symbol.id == id)
            return &symbol;
    return nullptr;
}

int EmbeddedSymbolList::indexOf(const SymbolId& id) const {
    int index = 0;
    for (const EmbeddedSymbol& symbol : records) {
        if (symbol.id == id)
            return index;
        ++index;
    }
    return -1;
}

const EmbeddedSymbol* EmbeddedSymbolList::find(const SymbolId& id) const {
    for (const EmbeddedSymbol& symbol : records)
        if (symbol.id == id)
            return &symbol;
    return nullptr;
}

bool EmbeddedSymbolList::remove(const SymbolId& id) {
    for (std::uint32_t i = 0; i < records.count(); ++i) {
        if (records[i].id == id) {
            records.removeAt(i);
            return true;
        }
    }
    return false;
}

void EmbeddedSymbolList::replace(EmbeddedSymbol symbol) {
    remove(symbol.id);
    records.append(std::move(symbol));
}
