#pragma once

#include <ostream>

// ExportCommand: `export PROJECT.vrn OUT [--loops N]` writes the animation as the GUI export
// would, as fast as the machine allows. The output kind follows OUT's extension (.gif, and
// .avi / .swf where those exporters exist); OUT gets ".gif" appended when it has none of them.
// A progress bar goes to stderr when stderr is a terminal. Exit 0 on success; on failure the
// message on stderr, exit 1, and no partial file.
class ExportCommand {
public:
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
