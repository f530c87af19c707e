#pragma once

#include <ostream>

// GrabCommand: `grab VIDEO SECONDS OUT.png`. Takes the picture at a time out of a video the
// way the import-video-frames dialog does (the FFmpeg probe chooses the reader; SeekGrab or
// the media-detector grab) and writes it upright as PNG.
class GrabCommand {
public:
    // Exit code: 0 written, 1 the video, the time or the output failed, 2 bad arguments.
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
