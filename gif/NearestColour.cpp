#include "gif/NearestColour.h"

#include <algorithm>
#include <limits>

NearestColour::NearestColour(const std::uint32_t* rgb, int count)
    : m_cells(kCells), m_cellReady(kCells, false) {
    count = std::clamp(count, 1, 256);
    for (int i = 0; i < count; ++i) {
        m_red.push_back(static_cast<std::int32_t>((rgb[i] >> 16) & 0xFF));
        m_green.push_back(static_cast<std::int32_t>((rgb[i] >> 8) & 0xFF));
        m_blue.push_back(static_cast<std::int32_t>(rgb[i] & 0xFF));
    }
}

const std::vector<std::uint8_t>& NearestColour::candidates(int cell) {
    std::vector<std::uint8_t>& list = m_cells[static_cast<std::size_t>(cell)];
    if (m_cellReady[static_cast<std::size_t>(cell)]) return list;
    const int shift = 8 - kCellBits;
    const int mask = (1 << shift) - 1;
    const int size = 1 << kCellBits;
    const int low[3] = {((cell >> (2 * shift)) & mask) * size, ((cell >> shift) & mask) * size,
                        (cell & mask) * size};
    // For each entry: the least and the greatest squared distance to any colour of the cell.
    auto axis = [&](int value, int lo, bool farthest) {
        const int hi = lo + size - 1;
        if (farthest) {
            const int d = std::max(std::abs(value - lo), std::abs(value - hi));
            return d * d;
        }
        const int d = value < lo ? lo - value : (value > hi ? value - hi : 0);
        return d * d;
    };
    const int count = static_cast<int>(m_red.size());
    std::vector<int> nearest(static_cast<std::size_t>(count));
    int bound = std::numeric_limits<int>::max();
    for (int i = 0; i < count; ++i) {
        const int far = axis(m_red[i], low[0], true) + axis(m_green[i], low[1], true) +
                        axis(m_blue[i], low[2], true);
        bound = std::min(bound, far);
        nearest[static_cast<std::size_t>(i)] = axis(m_red[i], low[0], false) +
                                               axis(m_green[i], low[1], false) +
                                               axis(m_blue[i], low[2], false);
    }
    for (int i = 0; i < count; ++i)
        if (nearest[static_cast<std::size_t>(i)] <= bound)
            list.push_back(static_cast<std::uint8_t>(i));
    m_cellReady[static_cast<std::size_t>(cell)] = true;
    return list;
}

int NearestColour::find(int red, int green, int blue) {
    const int shift = 8 - kCellBits;
    const int cell =
        ((red >> kCellBits) << (2 * shift)) | ((green >> kCellBits) << shift) | (blue >> kCellBits);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::uint8_t i : candidates(cell)) {
        const int dr = red - m_red[i];
        const int dg = green - m_green[i];
        const int db = blue - m_blue[i];
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) { // candidates are in index order: lowest index wins ties
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
