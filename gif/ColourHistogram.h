#pragma once

#include <cstdint>
#include <vector>

// ColourHistogram: a weight per distinct colour, for building a palette from many pictures
// without keeping them. Colours are 0xRRGGBB (alpha is not part of the key); the table is
// open-addressed with linear probing and doubles when half full, so adding a pixel costs a
// hash and a probe or two.
class ColourHistogram {
public:
    struct Entry {
        std::uint32_t rgb = kEmpty;
        std::uint32_t weight = 0;
    };

    ColourHistogram();

    // Adds `weight` to the colour's weight (saturating at 2^32 - 1).
    void add(std::uint32_t rgb, std::uint32_t weight);
    std::size_t size() const { return m_count; }
    // The colours with a weight, in no particular order.
    std::vector<Entry> entries() const;
    // At most maxColours colours: entries() when there are no more, else the colours merged
    // on a grid one bit coarser per channel at a time (each cell's colours become their
    // weighted mean, rounded, with the sum of their weights) until so many cells remain;
    // in the order of the cells.
    std::vector<Entry> entriesWithin(std::size_t maxColours) const;

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu; // no 24-bit colour has this value
    void grow();

    std::vector<Entry> m_slots;
    std::size_t m_count = 0;
};
