#pragma once

#include <QRect>

#include <vector>

// HitRegionTable: the base hit regions of the stage's objects, each the rectangle
// (0, 0, width, height) of an object, indexed by the object's region slot. Slots are never
// reused while the project stays open; replacing the project clears the table.
class HitRegionTable {
public:
    // Adds a region and returns its slot.
    int add(const QRect& region);
    bool contains(int slot) const { return slot >= 0 && slot < count(); }
    const QRect& at(int slot) const { return m_regions[static_cast<std::size_t>(slot)]; }
    int count() const { return static_cast<int>(m_regions.size()); }
    void clear() { m_regions.clear(); }

private:
    std::vector<QRect> m_regions;
};
