#include "tools/cli/ProjectArgument.h"

#include "document/ProjectReader.h"
#include "document/ProjectStore.h"

std::optional<LoadedProject> ProjectArgument::load(const std::string& path, std::ostream& err) {
    std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    if (!loaded)
        err << ProjectStore::kCannotLoad << "\n";
    return loaded;
}
