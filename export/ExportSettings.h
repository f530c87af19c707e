#pragma once

#include <cstdint>

// ExportSettings: what the user chose for an export, for the formats that take it.
struct ExportSettings {
    int quality = -1;         // 0 (smallest) .. 100 (best); -1: the format's own default
    int loops = 0;            // 0 repeat forever, 1 play once, n > 1 play n times
    bool transparent = false; // frames carry alpha: the background was left out
    bool lossless = false;    // WebP: lossless instead of lossy
    std::uint32_t background = 0xFFFFFFFF; // ARGB: what pads an odd size (MP4)
};
