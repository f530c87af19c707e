#pragma once

#include <ostream>

// LibraryCommand: `zentravo-cli library ...`, the headless way to build and inspect a symbol
// library folder (the program's own library folder unless --dir names another):
//   list                 prints the symbols in display order as JSON: id (32 hex digits),
//                        frame count and every frame's stored width and height
//   add PICTURE...       makes one new symbol of the pictures (each file one frame, every frame
//                        of an animated GIF, pictures above 480000 pixels shrunk) and prints its id
//   frames ID OUTDIR     writes the symbol's frames as OUTDIR/frame_000.png ... (32-bit RGBA)
//   delete ID            deletes the symbol's file and removes it from the index
class LibraryCommand {
public:
    // argv[1] is "library". 0 on success, 1 with a message on err when the work fails, 2 for
    // a wrong command line.
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
