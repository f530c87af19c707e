#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

// COctreeQuantizer: builds a palette of at most the requested number of colours for one
// picture with an octree of `colour bits` levels: each pixel is added down to a leaf, and
// while there are too many leaves the newest interior node of the deepest level is merged
// into a leaf. Built once, read once, destroyed.
class COctreeQuantizer {
public:
    // Palette entry as stored in bitmaps: blue, green, red, reserved (alpha).
    struct RGBQuad {
        std::uint8_t blue;
        std::uint8_t green;
        std::uint8_t red;
        std::uint8_t reserved;
    };

    // requestedColours: palette size wanted (the tree keeps at least 16 leaves while
    // building); colourBits: tree depth, at most 8.
    COctreeQuantizer(std::uint32_t requestedColours, std::uint32_t colourBits);
    virtual ~COctreeQuantizer();
    COctreeQuantizer(const COctreeQuantizer&) = delete;
    COctreeQuantizer& operator=(const COctreeQuantizer&) = delete;

    // Adds every pixel of a device-independent bitmap in memory: a 40-byte info header, its
    // palette (colours-used entries; 2^bits when that field is 0 in a bitmap of 1, 4 or 8
    // bits), then bottom-up rows padded to 4 bytes. Depths 1, 4, 8
    // and 24 are read; any other depth, or a bitmap shorter than its header says, is refused
    // with the tree untouched.
    bool BuildFromBitmap(const std::uint8_t* bitmap, std::size_t size);
    // The same as BuildFromBitmap of the picture as a 24-bit bitmap (pixels visited bottom
    // row first), without making the bitmap. Alpha is ignored.
    bool BuildFromImage(const QImage& picture);

    // Writes the palette: the leaves' average colours in tree order. `palette` has room for
    // max(16, requested colours) entries; entries past the leaf count are left as they are.
    void FillPalette(RGBQuad* palette) const;

    std::uint32_t leafCount() const { return m_leafCount; }
    std::uint32_t maxColours() const { return m_maxColours; }

private:
    struct Node;

    void addColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    Node* createNode(std::uint32_t level);
    void reduceTree();
    struct LeafColour;
    void collectLeaves(const Node* node, LeafColour* out, std::uint32_t capacity,
                       std::uint32_t& count) const;
    static void freeNode(Node* node);

    Node* m_root = nullptr;
    std::uint32_t m_leafCount = 0;
    Node* m_reducible[9] = {};
    std::uint32_t m_maxColours;
    std::uint32_t m_outputColours;
    std::uint32_t m_colourBits;
};
