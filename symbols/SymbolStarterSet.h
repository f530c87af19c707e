#pragma once

#include <string>

// SymbolStarterSet: puts the starter symbols (SymbolStarterArt) into a library folder that has
// no index yet, so that a new user can place something at once. A folder with an index, even
// an empty one, is left alone: a user who deleted the starters does not get them back.
class SymbolStarterSet {
public:
    // Writes every starter symbol file, then one index listing them. Returns how many symbols
    // were installed (0 when the folder already had an index or nothing could be written; a
    // failed index write removes the symbol files written before it).
    static int installIfFirstStart(const std::string& folder);
};
