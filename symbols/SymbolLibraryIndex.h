#pragma once

#include "document/SymbolId.h"

#include <optional>
#include <string>
#include <vector>

class QIODevice;

// SymbolLibraryIndex: the library's index file, which lists the symbols in display order. A
// cut or overstated file gives the ids it holds whole; every write replaces the file through a
// temporary file, so a failed write leaves the previous index as it was.
//
// Index file "Actors.sbg" (little-endian):
//   0          symbol count N (u32)
//   4 + 16*i   SymbolId of symbol i, its 16 bytes in memory order, i = 0..N-1
class SymbolLibraryIndex {
public:
    static constexpr const char* kFileName = "Actors.sbg";
    static constexpr int kIdBytes = 16;

    // The ids in order; nothing when the file is missing or cannot be opened. A file shorter
    // than its count says gives the whole ids it holds (none when even the count is cut).
    static std::optional<std::vector<SymbolId>> read(const std::string& path);
    static std::vector<SymbolId> read(QIODevice& device);

    static bool write(const std::string& path, const std::vector<SymbolId>& ids);
    // The index with `id` added at the end: a missing file becomes a one-id index. False (and
    // the file untouched) when an existing index cannot be read or the new one not written.
    static bool append(const std::string& path, const SymbolId& id);
};
