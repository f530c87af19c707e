#pragma once

#include <ostream>
#include <string>

class Document;

// ProjectArgument: the project file named on a command line, opened into a document as the
// application opens one; on failure the loader's message goes to `err`.
class ProjectArgument {
public:
    static bool open(const std::string& path, Document& document, std::ostream& err);
};
