#include "gif/ColourHistogram.h"

#include <limits>

namespace {

constexpr std::size_t kInitialSlots = 1024;

std::size_t slotOf(std::uint32_t rgb, std::size_t mask) {
    // Fibonacci hashing spreads the neighbouring colours of gradients over the table.
    return static_cast<std::size_t>((rgb * 2654435769u) >> 8) & mask;
}

} // namespace

ColourHistogram::ColourHistogram() : m_slots(kInitialSlots) {}

void ColourHistogram::add(std::uint32_t rgb, std::uint32_t weight) {
    rgb &= 0xFFFFFF;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = slotOf(rgb, mask);; i = (i + 1) & mask) {
        Entry& slot = m_slots[i];
        if (slot.rgb == rgb) {
            const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - slot.weight;
            slot.weight += weight < room ? weight : room;
            return;
        }
        if (slot.rgb == kEmpty) {
            slot = Entry{rgb, weight};
            if (++m_count * 2 > m_slots.size())
                grow();
            return;
        }
    }
}

void ColourHistogram::grow() {
    std::vector<Entry> old(m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Entry& entry : old) {
        if (entry.rgb == kEmpty)
            continue;
        std::size_t i = slotOf(entry.rgb, mask);
        while (m_slots[i].rgb != kEmpty)
            i = (i + 1) & mask;
        m_slots[i] = entry;
    }
}

std::vector<ColourHistogram::Entry> ColourHistogram::entries() const {
    std::vector<Entry> out;
    out.reserve(m_count);
    for (const Entry& entry : m_slots)
        if (entry.rgb != kEmpty)
            out.push_back(entry);
    return out;
}
