#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// NearestColour: exact nearest-palette-entry search (squared RGB distance, lowest index on a
// tie), fast enough to run for every pixel of every exported frame. The colour cube is cut
// into 16 x 16 x 16 cells; for each cell, on first use, only the entries that can be nearest
// to some colour of the cell are kept, so a search looks at a handful of entries.
class NearestColour {
public:
    // `rgb` holds `count` (1..256) entries as 0xRRGGBB.
    NearestColour(const std::uint32_t* rgb, int count);

    int find(int red, int green, int blue);

private:
    static constexpr int kCellBits = 4; // cell edge: 16 levels per channel
    static constexpr int kCells = 1 << (3 * (8 - kCellBits));

    const std::vector<std::uint8_t>& candidates(int cell);

    std::vector<std::int32_t> m_red, m_green, m_blue;
    std::vector<std::vector<std::uint8_t>> m_cells;
    std::vector<bool> m_cellReady;
};
