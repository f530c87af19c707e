#pragma once

#include <ostream>

// ThumbnailCommand: `zentravo-cli thumbnail IN.vrn OUT.png SIZE`: frame 0 of the project, as an
// export draws it, fitted into SIZE x SIZE pixels with its aspect kept (never enlarged), as a
// PNG. The desktop's thumbnailer entry runs it so that file managers show a project's first
// frame. Exit code 0 on success, 1 when the project cannot be read or the PNG written, 2 for
// a wrong command line.
class ThumbnailCommand {
public:
    static constexpr int kMaxSize = 4096;

    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
