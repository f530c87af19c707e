#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"
#include "document/HitRegionTable.h"

// LoadedProject: everything a project file holds, read into fresh records: the project, the
// symbol pictures it carries, and the base hit region (0, 0, width, height) of every object,
// whose slot the object's record holds.
struct LoadedProject {
    Project project;
    EmbeddedSymbolList symbols;
    HitRegionTable hitRegions;
};
