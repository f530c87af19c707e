#pragma once

#include "document/LoadedProject.h"

#include <optional>
#include <ostream>
#include <string>

// ProjectArgument: the project file named on a command line, loaded; on failure the loader's
// message goes to `err` and nothing is returned.
class ProjectArgument {
public:
    static std::optional<LoadedProject> load(const std::string& path, std::ostream& err);
};
