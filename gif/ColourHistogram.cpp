#include "gif/ColourHistogram.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t kInitialSlots = 1024;

constexpr std::uint32_t kSaturated = std::numeric_limits<std::uint32_t>::max();

// The colours merged on the grid of cells 2^bits levels wide per channel, in cell order.
std::vector<ColourHistogram::Entry> merged(std::vector<ColourHistogram::Entry> colours, int bits) {
    const std::uint32_t level = 0xFFu & ~((1u << bits) - 1);
    const std::uint32_t cell = (level << 16) | (level << 8) | level;
    std::sort(colours.begin(), colours.end(), [cell](const auto& a, const auto& b) {
        return (a.rgb & cell) != (b.rgb & cell) ? (a.rgb & cell) < (b.rgb & cell) : a.rgb < b.rgb;
    });
    std::vector<ColourHistogram::Entry> out;
    for (std::size_t first = 0; first < colours.size();) {
        std::uint64_t weight = 0, red = 0, green = 0, blue = 0;
        std::size_t end = first;
        for (; end < colours.size() && (colours[end].rgb & cell) == (colours[first].rgb & cell);
             ++end) {
            const ColourHistogram::Entry& c = colours[end];
            // A weight of 0 counts once, as libimagequant counts it.
            const std::uint64_t w = std::max<std::uint32_t>(c.weight, 1);
            weight += w;
            red += (c.rgb >> 16) * w;
            green += ((c.rgb >> 8) & 0xFF) * w;
            blue += (c.rgb & 0xFF) * w;
        }
        auto mean = [weight](std::uint64_t sum) {
            return std::uint32_t((sum + weight / 2) / weight);
        };
        out.push_back({(mean(red) << 16) | (mean(green) << 8) | mean(blue),
                       std::uint32_t(std::min<std::uint64_t>(weight, kSaturated))});
        first = end;
    }
    return out;
}

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
            const std::uint32_t room = kSaturated - slot.weight;
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

std::vector<ColourHistogram::Entry> ColourHistogram::entriesWithin(std::size_t maxColours) const {
    std::vector<Entry> out = entries();
    for (int bits = 1; out.size() > maxColours && bits < 8; ++bits)
        out = merged(entries(), bits);
    return out;
}
