#pragma once

#include <ostream>

// ExportCommand: `export PROJECT.vrn OUT [options]` writes the animation as the application's
// export would, as fast as the machine allows, in any format of the table of formats: the one
// OUT's extension names (a path with none of ours is a GIF, ".gif" appended), or --format ID.
// GIF takes --loops N (0 forever, 1 once, n plays) and --quality classic|best; AVI --codec
// NAME, --quality 0..10000 and --keyframes N; the other formats what `formats` lists
// (--quality 0..100, --loops, --transparent, --lossless). Every format takes --scale (25% to
// 200%, or fit:WxH); those that take a size budget --max-size 256k (with --drop-frames to
// allow half the frame rate, --no-closest to keep no file when the budget cannot be met).
// A progress bar goes to stderr when stderr is a terminal. Exit 0 on success; on failure the
// message on stderr, exit 1, and no partial file. A budget that cannot be met exits 1 too,
// keeping (and printing) the smallest file unless --no-closest.
class ExportCommand {
public:
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
    // `formats`: the table of formats as JSON.
    static int formats(std::ostream& out);
};
