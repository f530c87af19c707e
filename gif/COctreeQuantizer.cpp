#include "gif/COctreeQuantizer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint8_t kMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

std::uint32_t readU32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

struct COctreeQuantizer::Node {
    bool leaf = false;
    std::uint32_t pixelCount = 0;
    std::uint32_t redSum = 0;
    std::uint32_t greenSum = 0;
    std::uint32_t blueSum = 0;
    std::uint32_t alphaSum = 0;
    Node* children[8] = {};
    Node* nextReducible = nullptr;
};

struct COctreeQuantizer::LeafColour {
    RGBQuad colour;
    std::uint32_t pixelCount;
};

COctreeQuantizer::COctreeQuantizer(std::uint32_t requestedColours, std::uint32_t colourBits)
    : m_maxColours(std::max<std::uint32_t>(requestedColours, 16)),
      m_outputColours(requestedColours), m_colourBits(std::min<std::uint32_t>(colourBits, 8)) {}

COctreeQuantizer::~COctreeQuantizer() {
    freeNode(m_root);
}

void COctreeQuantizer::freeNode(Node* node) {
    if (!node)
        return;
    for (Node* child : node->children)
        freeNode(child);
    delete node;
}

COctreeQuantizer::Node* COctreeQuantizer::createNode(std::uint32_t level) {
    Node* node = new (std::nothrow) Node;
    if (!node)
        return nullptr;
    if (level == m_colourBits) {
        node->leaf = true;
        ++m_leafCount;
    } else {
        node->nextReducible = m_reducible[level];
        m_reducible[level] = node;
    }
    return node;
}

void COctreeQuantizer::addColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 std::uint8_t alpha) {
    Node** slot = &m_root;
    for (std::uint32_t level = 0;; ++level) {
        if (!*slot) {
            *slot = createNode(level);
            if (!*slot) // out of memory: this colour is dropped
                return;
        }
        Node* node = *slot;
        if (node->leaf) {
            ++node->pixelCount;
            node->redSum += red;
            node->greenSum += green;
            node->blueSum += blue;
            node->alphaSum += alpha;
            break;
        }
        const std::uint8_t mask = kMask[level];
        const int index =
            ((red & mask) ? 4 : 0) | ((green & mask) ? 2 : 0) | ((blue & mask) ? 1 : 0);
        slot = &node->children[index];
    }
    while (m_leafCount > m_maxColours)
        reduceTree();
}

void COctreeQuantizer::reduceTree() {
    int level = static_cast<int>(m_colourBits) - 1;
    while (level > 0 && !m_reducible[level])
        --level;
    Node* node = level >= 0 ? m_reducible[level] : nullptr;
    if (!node)
        return;
    m_reducible[level] = node->nextReducible;
    std::uint32_t red = 0, green = 0, blue = 0, alpha = 0, pixels = 0, children = 0;
    for (Node*& child : node->children) {
        if (!child)
            continue;
        red += child->redSum;
        green += child->greenSum;
        blue += child->blueSum;
        alpha += child->alphaSum;
        pixels += child->pixelCount;
        freeNode(child);
        child = nullptr;
        ++children;
    }
    node->leaf = true;
    node->redSum = red;
    node->greenSum = green;
    node->blueSum = blue;
    node->alphaSum = alpha;
    node->pixelCount = pixels;
    m_leafCount -= children - 1;
}

bool COctreeQuantizer::BuildFromBitmap(const std::uint8_t* bitmap, std::size_t size) {
    // BITMAPINFOHEADER: size(u32) width(i32) height(i32) planes(u16) bitCount(u16)
    // compression(u32) sizeImage(u32) xPels(i32) yPels(i32) clrUsed(u32) clrImportant(u32)
    if (!bitmap || size < 40)
        return false;
    const std::uint32_t headerSize = readU32(bitmap);
    const std::int64_t width = static_cast<std::int32_t>(readU32(bitmap + 4));
    const std::int64_t height = static_cast<std::int32_t>(readU32(bitmap + 8));
    const std::uint32_t bits = bitmap[14] | (bitmap[15] << 8);
    const std::uint64_t coloursUsed = readU32(bitmap + 32);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return false;
    if (headerSize < 40 || width < 0 || height < 0)
        return false;
    // Palette bitmaps whose colours-used field is 0 carry a full table of 2^bits entries.
    const std::uint64_t paletteEntries = bits <= 8 && coloursUsed == 0 ? 1u << bits : coloursUsed;
    const std::uint64_t stride = ((bits * static_cast<std::uint64_t>(width) + 31) / 32) * 4;
    const std::uint64_t pixelStart = headerSize + paletteEntries * 4;
    if (pixelStart > size || stride * static_cast<std::uint64_t>(height) > size - pixelStart)
        return false;
    const std::uint8_t* palette = bitmap + headerSize;
    const std::uint8_t* pixels = bitmap + pixelStart;

    for (std::int64_t row = 0; row < height; ++row) {
        const std::uint8_t* line = pixels + row * stride;
        for (std::int64_t column = 0; column < width; ++column) {
            if (bits == 24) {
                const std::uint8_t* p = line + column * 3;
                addColour(p[2], p[1], p[0], 0);
                continue;
            }
            std::uint32_t index;
            const std::uint8_t byte = line[(column * bits) / 8];
            if (bits == 8)
                index = byte;
            else if (bits == 4)
                index = (column % 2 == 0) ? byte >> 4 : byte & 0x0F;
            else
                index = (byte >> (7 - column % 8)) & 1;
            if (index >= paletteEntries) // an index past the palette counts as black
                addColour(0, 0, 0, 0);
            else
                addColour(palette[index * 4 + 2], palette[index * 4 + 1], palette[index * 4],
                          palette[index * 4 + 3]);
        }
    }
    return true;
}

bool COctreeQuantizer::BuildFromImage(const QImage& picture) {
    if (picture.isNull())
        return false;
    const QImage rgb =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            addColour(static_cast<std::uint8_t>(qRed(line[x])),
                      static_cast<std::uint8_t>(qGreen(line[x])),
                      static_cast<std::uint8_t>(qBlue(line[x])), 0);
    }
    return true;
}

void COctreeQuantizer::collectLeaves(const Node* node, LeafColour* out, std::uint32_t capacity,
                                     std::uint32_t& count) const {
    if (!node)
        return;
    if (node->leaf) {
        if (count < capacity && node->pixelCount > 0) {
            const std::uint32_t n = node->pixelCount;
            out[count].colour = {static_cast<std::uint8_t>(node->blueSum / n),
                                 static_cast<std::uint8_t>(node->greenSum / n),
                                 static_cast<std::uint8_t>(node->redSum / n),
                                 static_cast<std::uint8_t>(node->alphaSum / n)};
            out[count].pixelCount = n;
            ++count;
        }
        return;
    }
    for (const Node* child : node->children)
        collectLeaves(child, out, capacity, count);
}

void COctreeQuantizer::FillPalette(RGBQuad* palette) const {
    std::vector<LeafColour> leaves(std::max<std::uint32_t>(m_maxColours, 16) + 1);
    std::uint32_t count = 0;
    collectLeaves(m_root, leaves.data(), static_cast<std::uint32_t>(leaves.size()), count);
    const std::uint32_t n = m_outputColours;
    if (n >= 16 || count <= n) {
        const std::uint32_t written = std::min(count, std::max<std::uint32_t>(n, 16));
        for (std::uint32_t i = 0; i < written; ++i)
            palette[i] = leaves[i].colour;
        return;
    }
    // Fewer than 16 colours wanted: merge runs of neighbouring leaves, weighted by pixels.
    const std::uint32_t m = count;
    for (std::uint32_t j = 0; j < n; ++j) {
        std::uint64_t red = 0, green = 0, blue = 0, alpha = 0, pixels = 0;
        for (std::uint32_t k = (j * m) / n; k < ((j + 1) * m) / n; ++k) {
            const LeafColour& leaf = leaves[k];
            red += static_cast<std::uint64_t>(leaf.colour.red) * leaf.pixelCount;
            green += static_cast<std::uint64_t>(leaf.colour.green) * leaf.pixelCount;
            blue += static_cast<std::uint64_t>(leaf.colour.blue) * leaf.pixelCount;
            alpha += static_cast<std::uint64_t>(leaf.colour.reserved) * leaf.pixelCount;
            pixels += leaf.pixelCount;
        }
        if (pixels == 0)
            continue;
        palette[j] = {
            static_cast<std::uint8_t>(blue / pixels), static_cast<std::uint8_t>(green / pixels),
            static_cast<std::uint8_t>(red / pixels), static_cast<std::uint8_t>(alpha / pixels)};
    }
}
