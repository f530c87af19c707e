#include "symbols/SymbolThumbnailCache.h"

std::optional<QImage> SymbolThumbnailCache::find(const SymbolId& id, std::uint32_t frame) const {
    const auto found = m_thumbnails.find(Key{id, frame});
    if (found == m_thumbnails.end())
        return std::nullopt;
    return found->second;
}

void SymbolThumbnailCache::store(const SymbolId& id, std::uint32_t frame, const QImage& thumbnail) {
    // Each entry also costs its map node; an unreadable frame is remembered at that cost only.
    const std::int64_t cost = thumbnail.sizeInBytes() + 64;
    if (m_bytes + cost > kMaxBytes)
        clear();
    if (m_thumbnails.insert_or_assign(Key{id, frame}, thumbnail).second)
        m_bytes += cost;
}

void SymbolThumbnailCache::clear() {
    m_thumbnails.clear();
    m_bytes = 0;
}
