#pragma once

#include "gif/CxImageGIF.h"

#include <cstdint>

class CxFile;

// GifBlockReader: the walk over a GIF's blocks after the logical screen descriptor and the
// global colour table, written once for decoding and for counting frames. A byte is taken as
// a block introducer (0x21 extension, 0x2C image, 0x3B trailer) only at the start or right
// after a 0 byte, the terminator that ends every block; other bytes are stepped over, which
// resynchronises the walk after data that a reader left unread.
class GifBlockReader {
public:
    enum class Block {
        Extension, // the stream is at the extension's label
        Image,     // descriptor and local colour table read; the stream is at the code size
        Trailer,   // 0x3B
        End        // no more data, or an image descriptor or colour table cut short
    };

    explicit GifBlockReader(CxFile* fp) : m_fp(fp) {}

    Block next();

    // The last image block: its descriptor and, when it has one, its local colour table.
    const tag_image& image() const { return m_image; }
    bool hasLocalTable() const { return (m_image.pf & 0x80) != 0; }
    const tag_TabCol& localTable() const { return m_local; }

    // Steps over the rest of the current block: an extension's label and sub-blocks, or an
    // image's minimum code size and data sub-blocks. False when the data ended first.
    bool skipExtension();
    bool skipImageData();

    // A colour table of 2^(size + 1) red, green, blue triples (size: bits 0-2 of flags); false
    // when the stream ends inside it.
    static bool readColorTable(CxFile* fp, std::uint8_t flags, tag_TabCol* table);
    // Sub-blocks (length byte, then that many bytes) up to and including a 0 length.
    static void skipSubBlocks(CxFile* fp);

private:
    CxFile* m_fp;
    bool m_previousWasZero = true;
    tag_image m_image{};
    tag_TabCol m_local;
};
