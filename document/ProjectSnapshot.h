#pragma once

#include "document/Project.h"

// ProjectSnapshot: a deep copy of the project (header and all six lists, guide points and
// layer names included). Symbol pictures are not copied; objects refer to them by SymbolId.
struct ProjectSnapshot {
    Project state;
};
