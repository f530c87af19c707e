#pragma once

#include <ostream>

// RenderCommand: `render PROJECT.vrn FRAME OUT.png [--zoom Z] [--edit-view]` writes one frame
// of a project as PNG. By default it is exactly the picture an export hands to the encoder:
// the stage's size at zoom 1, edit view off, after frames 0..FRAME-1 were drawn so that every
// symbol shows the picture an export would show. With --edit-view the stage view's back
// buffer is written instead (grey surround, outline, handles of the selected object), at the
// given zoom.
class RenderCommand {
public:
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
