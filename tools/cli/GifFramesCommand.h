#pragma once

#include <ostream>

// GifFramesCommand: decodes every frame of a GIF with CxImageGIF (frame n composed over the
// frames before it, as Decode composes it), writes them as 32-bit RGBA PNGs
// OUTDIR/frame_000.png ... and prints a JSON summary (size, frame count, loop count, comment,
// per-frame delays in hundredths of a second and disposal methods). The comment is read as
// UTF-8 when it is valid UTF-8, else as Latin-1, and printed with \u escapes.
class GifFramesCommand {
public:
    // 0 on success; 1 with a message on err when the file cannot be read or decoded.
    static int run(const char* gifPath, const char* outDir, std::ostream& out, std::ostream& err);
};
