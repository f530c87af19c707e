#include "import/BmpReader.h"

#include "gif/CxImage.h"
#include "import/BmpRleReader.h"
#include "import/PictureAllocator.h"
#include "import/QtPictureReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// File header: "BM" size(u32) reserved(u32) pixel offset(u32) at 10. Info header from 14:
// size(u32), then width(i32) height(i32) planes(u16) bits(u16) compression(u32) image size(u32)
// x/y resolution(i32) colours used(u32) colours important(u32); bit masks red, green, blue
// (u32 each) at 54 and alpha at 66, inside a V2..V5 header or right after a 40-byte one. The
// 12-byte OS/2 1.x header holds width(u16) height(u16) planes(u16) bits(u16).
constexpr qsizetype kFileHeader = 14;
constexpr qsizetype kOs2Header = 12;
constexpr qsizetype kInfoHeader = 40;
constexpr qsizetype kOs2v2Header = 64;
constexpr qsizetype kMasks = kFileHeader + kInfoHeader;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void put32(QByteArray& b, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct Header {
    std::uint32_t offset = 0;     // of the pixel array
    std::uint32_t headerSize = 0; // 12 for OS/2 1.x
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top row first
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

bool readHeader(const QByteArray& b, Header& h) {
    if (b.size() < kFileHeader + kOs2Header || b[0] != 'B' || b[1] != 'M')
        return false;
    h.offset = le32(b, 10);
    h.headerSize = le32(b, 14);
    if (h.headerSize == kOs2Header) {
        h.width = le16(b, 18);
        h.height = le16(b, 20);
        h.bits = le16(b, 24);
        return true;
    }
    if (h.headerSize < kInfoHeader || b.size() < kFileHeader + kInfoHeader)
        return false;
    h.width = static_cast<std::int32_t>(le32(b, 18));
    h.height = static_cast<std::int32_t>(le32(b, 22));
    h.bits = le16(b, 28);
    h.compression = le32(b, 30);
    h.coloursUsed = le32(b, 46);
    return true;
}

// Run-length data: 8 bits a pixel (compression 1) or 4 (compression 2), in Windows and OS/2 2.x
// headers alike.
bool runLength(const Header& h) {
    return h.headerSize >= kInfoHeader &&
           ((h.compression == kRle8 && h.bits == 8) || (h.compression == kRle4 && h.bits == 4));
}

std::unique_ptr<CxImage> decodeRunLength(const QByteArray& b, const Header& h, std::string* error) {
    BmpRleReader::Layout layout;
    layout.offset = h.offset;
    layout.width = h.width;
    layout.height = h.height;
    layout.bits = static_cast<int>(h.bits);
    layout.paletteOffset = kFileHeader + h.headerSize;
    // Colours used 0 means 2^bits; only the entries before the pixel data are there.
    const std::int64_t stored = (std::int64_t{h.offset} - layout.paletteOffset) / 4;
    layout.paletteEntries = std::min<std::int64_t>(h.coloursUsed ? h.coloursUsed : 1 << h.bits,
                                                   std::max<std::int64_t>(stored, 0));
    return BmpRleReader::decode(b, layout, error);
}

// Qt refuses a bitmap whose planes field (u16 at 26) is not 1; the field means nothing in a
// file and common readers ignore it.
QByteArray withOnePlane(const QByteArray& b, const Header& h) {
    if (h.headerSize < kInfoHeader || b.size() < kFileHeader + kInfoHeader || le16(b, 26) == 1)
        return b;
    QByteArray fixed = b;
    fixed[26] = 1;
    fixed[27] = 0;
    return fixed;
}

std::int64_t rowBytes(const Header& h) {
    return (std::abs(h.width) * h.bits + 31) / 32 * 4;
}

// Qt's reader keeps the rows it got from a cut-off file and reports success. For the
// uncompressed layouts the pixel array must be whole; run-length files are left to Qt.
bool complete(const QByteArray& b, const Header& h) {
    if (h.compression != kRgb && h.compression != kBitFields && h.compression != kAlphaBitFields)
        return true;
    if (h.bits > 32)
        return false;
    return std::int64_t{h.offset} + rowBytes(h) * std::abs(h.height) <= b.size();
}

// An OS/2 1.x file as the Windows file it stands for: a 40-byte header that counts the palette
// entries actually stored (those between the header and the pixel offset, at most 2^bits),
// the entries widened to 4 bytes, then the same pixel rows.
QByteArray windowsFromOs2(const QByteArray& b, const Header& h, std::string* error) {
    const qsizetype paletteStart = kFileHeader + kOs2Header;
    if (h.offset < paletteStart || h.offset > b.size()) {
        if (error)
            *error = "the bitmap's pixel offset lies outside the file";
        return {};
    }
    std::uint32_t colours = 0;
    if (h.bits <= 8)
        colours = std::min<std::uint32_t>(1u << h.bits, (h.offset - paletteStart) / 3);
    const qsizetype pixels = kFileHeader + kInfoHeader + qsizetype{colours} * 4;
    QByteArray out(pixels, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 10, static_cast<std::uint32_t>(pixels));
    put32(out, 14, kInfoHeader);
    put32(out, 18, static_cast<std::uint32_t>(h.width));
    put32(out, 22, static_cast<std::uint32_t>(h.height));
    out[26] = 1;                                // planes
    out[28] = static_cast<char>(h.bits);        // bits, compression 0
    put32(out, 46, colours);                    // colours used
    for (std::uint32_t i = 0; i < colours; ++i) // blue, green, red (, 0)
        std::memcpy(out.data() + kFileHeader + kInfoHeader + i * 4,
                    b.constData() + paletteStart + i * 3, 3);
    out.append(b.constData() + h.offset, b.size() - h.offset);
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

// One bit field: where its bits sit and how many values it holds.
struct Field {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0; // largest value of the field; 0 for an absent field

    bool set(std::uint32_t m) {
        mask = m;
        if (m == 0)
            return true;
        shift = std::countr_zero(m);
        max = m >> shift;
        return (max & (max + 1)) == 0; // the bits must be contiguous
    }
    // The field scaled to 0..255, rounded to nearest.
    std::uint8_t value(std::uint32_t pixel) const {
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

// OS/2 2.x headers (64 bytes) number their compressions differently (3 is Huffman coding).
bool bitFieldLayout(const Header& h) {
    if (h.headerSize < kInfoHeader || h.headerSize == kOs2v2Header)
        return false;
    if (h.bits == 16)
        return h.compression == kRgb || h.compression == kBitFields ||
               h.compression == kAlphaBitFields;
    return h.bits == 32 && (h.compression == kBitFields || h.compression == kAlphaBitFields);
}

std::unique_ptr<CxImage> decodeBitFields(const QByteArray& b, const Header& h, std::string* error) {
    auto fail = [error](const char* text) {
        if (error)
            *error = text;
        return nullptr;
    };
    Field red, green, blue, alpha;
    if (h.compression == kRgb) {
        red.set(0x7C00); // 16-bit without fields: 5-5-5, top bit unused
        green.set(0x03E0);
        blue.set(0x001F);
    } else {
        const bool hasAlphaMask = h.compression == kAlphaBitFields || h.headerSize >= 56;
        if (b.size() < kMasks + (hasAlphaMask ? 16 : 12))
            return fail("the bitmap's bit masks are missing");
        if (!red.set(le32(b, kMasks)) || !green.set(le32(b, kMasks + 4)) ||
            !blue.set(le32(b, kMasks + 8)) || (hasAlphaMask && !alpha.set(le32(b, kMasks + 12))))
            return fail("the bitmap has a bit mask whose bits are not contiguous");
        if (red.max == 0 && green.max == 0 && blue.max == 0)
            return fail("the bitmap's bit masks hold no colour");
    }
    const std::int64_t width = h.width, height = std::abs(h.height);
    if (width <= 0 || height <= 0)
        return fail("the bitmap has no pixels");
    auto picture = PictureAllocator::create(width, height, alpha.max != 0, error);
    if (!picture)
        return nullptr;
    const std::int64_t stride = rowBytes(h);
    const int bytesPerPixel = static_cast<int>(h.bits / 8);
    for (std::int64_t row = 0; row < height; ++row) {
        // Stored rows run bottom to top unless the height is negative.
        const std::int64_t fromTop = h.height < 0 ? row : height - 1 - row;
        const auto* in =
            reinterpret_cast<const std::uint8_t*>(b.constData()) + h.offset + row * stride;
        std::uint8_t* out = picture->topRow(static_cast<std::int32_t>(fromTop));
        for (std::int64_t x = 0; x < width; ++x, in += bytesPerPixel, out += 4) {
            std::uint32_t pixel = in[0] | (in[1] << 8);
            if (bytesPerPixel == 4)
                pixel |= (in[2] << 16) | (std::uint32_t{in[3]} << 24);
            out[0] = blue.max ? blue.value(pixel) : 0;
            out[1] = green.max ? green.value(pixel) : 0;
            out[2] = red.max ? red.value(pixel) : 0;
            out[3] = alpha.max ? alpha.value(pixel) : 255;
        }
    }
    return picture;
}

} // namespace

std::unique_ptr<CxImage> BmpReader::decode(const QByteArray& bytes, std::string* error) {
    Header h;
    if (!readHeader(bytes, h)) {
        if (error)
            *error = "not a bitmap";
        return nullptr;
    }
    if (!complete(bytes, h)) {
        if (error)
            *error = "the bitmap's pixels are cut off";
        return nullptr;
    }
    if (h.headerSize == kOs2Header) {
        const QByteArray windows = windowsFromOs2(bytes, h, error);
        return windows.isEmpty() ? nullptr : QtPictureReader::decode(windows, "bmp", error);
    }
    if (bitFieldLayout(h))
        return decodeBitFields(bytes, h, error);
    if (runLength(h))
        return decodeRunLength(bytes, h, error);
    return QtPictureReader::decode(withOnePlane(bytes, h), "bmp", error);
}
