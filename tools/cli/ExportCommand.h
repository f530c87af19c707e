#pragma once

#include <ostream>

// ExportCommand: `export PROJECT.vrn OUT [options]` writes the animation as the GUI export
// would, as fast as the machine allows. The output kind follows OUT's extension: .avi (with
// --codec NAME (FFmpeg encoder: rawvideo, the default, mjpeg, mpeg4, ffv1, libx264),
// --quality Q (0..10000), --keyframes N), .swf, or else GIF (with --loops N: 0 forever,
// 1 once, n > 1 n times), for which ".gif" is appended when OUT does not end in it.
// A progress bar goes to stderr when stderr is a terminal. Exit 0 on success; on failure the
// message on stderr, exit 1, and no partial file.
class ExportCommand {
public:
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
