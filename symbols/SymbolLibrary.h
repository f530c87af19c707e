#pragma once

#include "document/SymbolId.h"
#include "symbols/SymbolThumbnailCache.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One symbol of the library as the grid shows it.
struct SymbolEntry {
    SymbolId id;
    std::uint32_t frameCount = 0; // whole frame records in its file
    std::uint32_t cursor = 0;     // the frame its thumbnail shows at the next repaint
    bool selected = false;
};

// SymbolLibrary: the symbol library folder in memory: the symbols in display order with their
// frame counts, thumbnail cursors and selection, and the current symbol (-1 when none). It
// reads the index and the symbol files, rewrites the index, adds, rewrites and deletes symbol
// files, and moves symbols within the order. A reordered library reaches the disk at the next
// saveIndex(). Invariant: currentIndex() is -1 or a valid position.
class SymbolLibrary {
public:
    // `folder` is the library folder, ending with a separator.
    explicit SymbolLibrary(std::string folder);

    const std::string& folder() const { return m_folder; }
    std::string indexPath() const;
    std::string symbolPath(const SymbolId& id) const;

    // Rebuilds the library from the index and the symbol files. An id whose file is missing
    // is left out (the index keeps it until the next saveIndex); an id whose file exists but
    // cannot be read shows with no frames, so that it is not dropped from the index. The
    // cursors restart at 0, nothing is selected, no symbol is current, and the thumbnail cache
    // is emptied.
    void load();
    // Writes the index from the ids in display order; false when the folder or the file
    // cannot be written (the previous index then stays as it was).
    bool saveIndex();
    // True when the order in memory differs from the index last loaded or saved.
    bool orderChanged() const { return m_orderChanged; }

    int count() const { return int(m_entries.size()); }
    const SymbolEntry& at(int index) const { return m_entries[std::size_t(index)]; }
    const std::vector<SymbolEntry>& entries() const { return m_entries; }

    // Selection and the current symbol.
    int currentIndex() const { return m_current; }
    std::optional<SymbolId> currentSymbol() const;
    // Clears the selection, selects `index` and makes it current; out of range is ignored.
    void selectIndex(int index);
    void setCurrent(int index);
    void setSelected(int index, bool selected);
    void clearSelection();
    void selectAll();
    bool hasSelection() const;

    // Takes the symbol at `from` out and puts it back before the target (or after it), as a
    // drop on the target's left (right) half does; returns its new position. The symbol keeps
    // its frame count, cursor and selection; the current index is not touched.
    int moveSymbol(int from, int target, bool after);
    // Deletes the files of the selected symbols (a file that cannot be deleted is ignored),
    // removes them from the library and saves the index; returns how many went. The current
    // symbol keeps its place in the order, or none is current when it was deleted.
    int deleteSelected();

    // Frame `frame` of a symbol of this library; a null image when it cannot be read.
    QImage loadFrame(const SymbolId& id, std::uint32_t frame) const;
    // Every frame of the symbol at `index`; empty when it has none or any cannot be read.
    std::vector<QImage> loadAllFrames(int index) const;

    // The picture the symbol at `index` shows at this repaint, fitted into `box` without
    // enlarging it; its cursor moves one frame on (back to 0 after the last). A null image
    // when the frame cannot be read (the cell then stays empty for this repaint).
    QImage nextThumbnail(int index, QSize box);
    // Decoded thumbnails are kept until the next load() unless this is switched off; either
    // way every repaint shows the frame the cursor names.
    void setThumbnailCache(bool enabled);

    // The frames as a new symbol: a new id, its file written, then the id appended to the
    // index (so a failed write leaves no id without a file). Nothing when `frames` is empty
    // or a write fails. The folder is created when missing.
    static std::optional<SymbolId> addSymbol(const std::string& folder,
                                             const std::vector<QImage>& frames,
                                             const std::function<void(int percent)>& progress = {});
    // Rewrites an existing symbol's file with `frames`; the index is left alone.
    static bool writeSymbol(const std::string& folder, const SymbolId& id,
                            const std::vector<QImage>& frames,
                            const std::function<void(int percent)>& progress = {});
    // The picture fitted into `box` without enlarging it (smoothly scaled when it shrinks).
    static QImage fitted(const QImage& frame, QSize box);

private:
    std::string m_folder;
    std::vector<SymbolEntry> m_entries;
    int m_current = -1;
    bool m_orderChanged = false;
    bool m_cacheEnabled = true;
    SymbolThumbnailCache m_cache;
};
