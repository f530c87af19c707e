#pragma once

#include <ostream>

// TextSheetCommand: `text-sheet OUT.png [--text T] [--face F] [--size N]` renders the fallback
// style and styles 1 to 8, each with its default colours, at opacity 255 and 128, one labelled
// row per style, into a PNG so that a person can look at every style at once. The size is in
// points as the text panel offers them (font height = size x 20 / 15).
class TextSheetCommand {
public:
    static int run(int argc, char** argv, std::ostream& out, std::ostream& err);
};
