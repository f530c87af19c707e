#include "document/UndoHistory.h"

#include "document/EmbeddedSymbolList.h"

void UndoHistory::push(const Project& project, EmbeddedSymbolList& symbols) {
    m_snapshots.resize(static_cast<std::size_t>(m_position + 1));
    purgeUnusedSymbols(project, symbols);
    m_snapshots.push_back(std::make_unique<ProjectSnapshot>(ProjectSnapshot{project}));
    ++m_position;
}

bool UndoHistory::undo(Project& project) {
    if (m_position > 0) {
        --m_position;
        project = m_snapshots[static_cast<std::size_t>(m_position)]->state;
        return true;
    }
    if (m_position == 0) {
        project.clearContents();
        m_position = -1;
        return true;
    }
    return false;
}

bool UndoHistory::redo(Project& project) {
    if (m_position >= count() - 1) return false;
    ++m_position;
    project = m_snapshots[static_cast<std::size_t>(m_position)]->state;
    return true;
}

void UndoHistory::clear() {
    m_snapshots.clear();
    m_position = -1;
}

void UndoHistory::purgeUnusedSymbols(const Project& project, EmbeddedSymbolList& symbols) const {
    for (std::uint32_t i = 0; i < symbols.records.count();) {
        const SymbolId id = symbols.records[i].id;
        bool used = project.usesSymbol(id);
        for (std::size_t s = 0; !used && s < m_snapshots.size(); ++s)
            used = m_snapshots[s]->state.usesSymbol(id);
        if (used)
            ++i;
        else
            symbols.records.removeAt(i);
    }
}
