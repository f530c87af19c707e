#pragma once

#include "document/ProjectSnapshot.h"

#include <memory>
#include <vector>

class EmbeddedSymbolList;

// UndoHistory: full snapshots of the project after each edit, and the current position in
// them (-1 while empty). Position p means the project equals snapshot p; undo at position 0
// empties the project.
class UndoHistory {
public:
    // Drops the redo tail, purges symbol records that neither the project nor any remaining
    // snapshot refers to, then appends a copy of `project` and advances the position.
    void push(const Project& project, EmbeddedSymbolList& symbols);
    // Restores the previous snapshot (or empties the project at position 0). False when
    // there was nothing to undo.
    bool undo(Project& project);
    // Restores the next snapshot. False at the end of the history.
    bool redo(Project& project);
    void clear();

    int position() const { return m_position; }
    int count() const { return static_cast<int>(m_snapshots.size()); }
    const ProjectSnapshot& snapshot(int index) const { return *m_snapshots[index]; }

private:
    void purgeUnusedSymbols(const Project& project, EmbeddedSymbolList& symbols) const;

    std::vector<std::unique_ptr<ProjectSnapshot>> m_snapshots;
    int m_position = -1;
};
