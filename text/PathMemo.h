#pragma once

#include <QPainterPath>

#include <cstdint>
#include <functional>
#include <list>
#include <mutex>

// PathMemo: remembers the most recently computed text paths and outlines, so that a text
// drawn on every frame of a preview or export builds its glyph paths and merges its overlaps
// once. Entries are looked up by a hash and confirmed by comparing the full input, so a hit
// always returns exactly what the computation would. Safe to use from several threads.
class PathMemo {
public:
    explicit PathMemo(std::size_t capacity) : m_capacity(capacity) {}

    // Returns the remembered result for `input` (identified by `hash`), or computes, keeps and
    // returns it.
    QPainterPath get(std::uint64_t hash, const QByteArray& input,
                     const std::function<QPainterPath()>& compute);

    // FNV-1a over bytes, for building hashes.
    static std::uint64_t hashBytes(const void* data, std::size_t size,
                                   std::uint64_t seed = 1469598103934665603ull);

private:
    struct Entry {
        std::uint64_t hash;
        QByteArray input;
        QPainterPath result;
    };
    std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    std::size_t m_capacity;
};
