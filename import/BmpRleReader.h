#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// BmpRleReader: run-length bitmaps (compression 1: 8 bits a pixel, 2: 4 bits a pixel), which
// Qt reads wrongly (4-bit runs, and pixels skipped by delta codes). Pixels that the data never
// sets (skipped by a delta or an end-of-line code, or left when the data ends early) take
// palette entry 0, opaque, as in a bitmap that starts cleared. Damaged data is read as far as
// it goes: a run past the end of its row is cut there, codes past the last row are ignored,
// and nothing is written outside the picture.
class BmpRleReader {
public:
    // offset: the pixel data's start; width and height: the picture's size (height negative:
    // top row first, which the format does not allow for run-length data but readers accept);
    // bits: 4 or 8; palette: the colour table's offset and entry count (4-byte entries).
    struct Layout {
        std::int64_t offset = 0;
        std::int64_t width = 0;
        std::int64_t height = 0;
        int bits = 8;
        std::int64_t paletteOffset = 0;
        std::int64_t paletteEntries = 0;
    };
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, const Layout& layout,
                                           std::string* error);
};
