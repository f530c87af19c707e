#include "document/HitRegionTable.h"

int HitRegionTable::add(const QRect& region) {
    m_regions.push_back(region);
    return count() - 1;
}
