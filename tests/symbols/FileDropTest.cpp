// What a drop of files is, from their names alone: a project, pictures, a video or nothing.
#include "symbols/FileDrop.h"

#include <gtest/gtest.h>

namespace {

TEST(FileDropTest, TheNamesTellWhatADropIs) {
    using Kind = FileDrop::Kind;
    struct Row {
        std::vector<std::string> paths;
        Kind kind;
    };
    const Row rows[] = {
        {{}, Kind::None},
        {{"/p/Sunny Day.vrn"}, Kind::Project},
        {{"/p/UPPER.VRN"}, Kind::Project},
        {{"/p/a.vrn", "/p/b.vrn"}, Kind::None}, // one project at a time
        {{"/p/a.png"}, Kind::Pictures},
        {{"/p/a.png", "/p/b.GIF", "/p/c.jpeg", "/p/d.bmp", "/p/e.ico", "/p/f.tga"}, Kind::Pictures},
        {{"/p/walk.gif"}, Kind::Pictures},
        {{"/p/a.png", "/p/b.vrn"}, Kind::None}, // mixed kinds
        {{"/p/a.png", "/p/clip.mp4"}, Kind::None},
        {{"/p/clip.mp4"}, Kind::Video},
        {{"/p/clip.MKV"}, Kind::Video},
        {{"/p/old.avi"}, Kind::Video},
        {{"/p/a.mp4", "/p/b.mp4"}, Kind::None}, // one video at a time
        {{"/p/notes.txt"}, Kind::None},
        {{"/p/no-extension"}, Kind::None},
        {{"/p/.png"}, Kind::None},          // a hidden file, not a picture type
        {{"/p.png/file"}, Kind::None},      // the dot belongs to a folder
        {{"/p/archive.png.zip"}, Kind::None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.paths.empty() ? std::string("(none)") : row.paths.front());
        EXPECT_EQ(FileDrop::classify(row.paths), row.kind);
    }
}

} // namespace
