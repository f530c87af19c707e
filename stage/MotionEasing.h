#pragma once

#include "document/ObjectRecord.h"

#include <array>

// MotionEasing: the easing curves a motion can follow, built on Qt's easing curves. A curve maps
// a motion's progress t (0..1) to the eased progress that position, angle, scale, opacity and
// a guide line's point index use; Back and Elastic overshoot 1 on the way, Linear leaves t
// exactly as it is. The list order is the chooser's order.
class MotionEasing {
public:
    static constexpr int kCount = 10;
    static const std::array<Easing, kCount>& all();

    // The curve an object's stored value names; values outside the list (a damaged file, a
    // later program's curve) follow Linear.
    static Easing of(const ObjectRecord& record);
    // The curve's name as the motion panel and `zentravo-cli info` show it.
    static const char* name(Easing easing);
    // Eased progress at `t` (0..1): t itself for Linear, otherwise Qt's curve at t.
    static float apply(Easing easing, float t);
};
