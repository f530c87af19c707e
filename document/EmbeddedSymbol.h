#pragma once

#include "document/BlockList.h"
#include "document/SymbolId.h"

#include <QImage>

#include <cstdint>

// EmbeddedSymbol: the pictures of one symbol kept inside the project, so that a saved project
// does not depend on the symbol library. Frames are ARGB32 pictures, each of its own size.
struct EmbeddedSymbol {
    SymbolId id;
    // The picture the next drawn object of this symbol shows; shared by every object of the
    // symbol, advanced as frames are drawn (under the document's lock, through a read-only
    // view: drawing's playback cursor, not an edit), saved with the project.
    mutable std::int32_t currentFrame = 0;
    BlockList<QImage> frames;

    std::int32_t frameCount() const { return static_cast<std::int32_t>(frames.count()); }
};
