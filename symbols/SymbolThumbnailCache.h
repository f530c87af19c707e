#pragma once

#include "document/SymbolId.h"

#include <QImage>

#include <cstdint>
#include <map>
#include <optional>

// SymbolThumbnailCache: the library's thumbnails once made, by symbol id and frame index, so
// that a repaint decodes only frames it has not shown before. It holds the fitted pictures
// (at most the grid's 50 x 50 picture area each) and remembers frames that could not be read
// as null images. The library empties it whenever it reloads from disk, so an edited symbol
// file is read again; a cache grown past kMaxBytes starts over.
class SymbolThumbnailCache {
public:
    static constexpr std::int64_t kMaxBytes = std::int64_t{64} << 20;

    // The thumbnail remembered for the frame, or nothing when it was never stored.
    std::optional<QImage> find(const SymbolId& id, std::uint32_t frame) const;
    void store(const SymbolId& id, std::uint32_t frame, const QImage& thumbnail);
    void clear();
    std::int64_t bytes() const { return m_bytes; }

private:
    struct Key {
        SymbolId id;
        std::uint32_t frame;
        bool operator<(const Key& other) const {
            return id.bytes != other.id.bytes ? id.bytes < other.id.bytes : frame < other.frame;
        }
    };
    std::map<Key, QImage> m_thumbnails;
    std::int64_t m_bytes = 0;
};
