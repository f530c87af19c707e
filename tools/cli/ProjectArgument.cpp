#include "tools/cli/ProjectArgument.h"

#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"

bool ProjectArgument::open(const std::string& path, Document& document, std::ostream& err) {
    std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    if (!loaded) {
        err << ProjectStore::kCannotLoad << "\n";
        return false;
    }
    ProjectEditor(document).openLoaded(std::move(loaded->project), std::move(loaded->symbols));
    return true;
}
