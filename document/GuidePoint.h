#pragma once

#include <cstdint>

// GuidePoint: one point of a guide line in stage pixels, stored as two 32-bit values.
struct GuidePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const GuidePoint&, const GuidePoint&) = default;
};

static_assert(sizeof(GuidePoint) == 8);
