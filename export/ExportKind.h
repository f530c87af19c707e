#pragma once

// The kinds of export. GIF, AVI and SWF are the program's first three, each with a command of
// its own; the others are chosen in the export dialog. ExportFormats holds what each one is.
enum class ExportKind : int {
    Gif = 0,
    Avi = 1,
    Swf = 2,
    Mp4 = 3,
    WebM = 4,
    WebP = 5,
    Apng = 6,
    PngFrames = 7,
};
