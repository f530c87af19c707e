#include "import/IcoReader.h"

#include "gif/CxImage.h"
#include "import/QtPictureReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Directory: reserved(u16 = 0) type(u16: 1 icon, 2 cursor) count(u16), then one 16-byte entry
// a picture: width(u8, 0 = 256) height(u8) colours(u8) reserved(u8) planes(u16) bits(u16)
// bytes(u32) offset(u32) at 12. A picture's data is a PNG file, or a BMP info header (width,
// height doubled for the mask, bits at 14) followed by the palette, colour and mask rows.
constexpr qsizetype kDirectory = 6;
constexpr qsizetype kEntry = 16;
constexpr char kPng[] = "\x89PNG\r\n\x1A\n";

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t be32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

struct Picture {
    qsizetype offset = 0;
    qsizetype size = 0;
    bool png = false;
    std::int64_t pixels = 0;
    int bits = 0;
};

// What a directory entry's data holds, read from the data itself (directories often state
// sizes and depths that the data does not have); false when the data lies outside the file.
bool describe(const QByteArray& b, qsizetype entry, Picture& picture) {
    const std::uint32_t size = le32(b, entry + 8), offset = le32(b, entry + 12);
    if (offset >= std::uint64_t(b.size()) || size < 16)
        return false;
    picture.offset = offset;
    picture.size = static_cast<qsizetype>(std::min<std::uint64_t>(size, b.size() - offset));
    const QByteArray head = b.mid(picture.offset, 32);
    if (head.startsWith(QByteArray(kPng, 8))) {
        if (head.size() < 26)
            return false;
        // IHDR: width(u32 BE) height(u32 BE) bit depth(u8) colour type(u8) from byte 16.
        static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
        const int type = static_cast<std::uint8_t>(head[25]);
        picture.png = true;
        picture.pixels = std::int64_t{be32(head, 16)} * be32(head, 20);
        picture.bits = static_cast<std::uint8_t>(head[24]) * (type <= 6 ? kChannels[type] : 0);
        return true;
    }
    if (head.size() < 16)
        return false;
    const auto width = static_cast<std::int32_t>(le32(head, 4));
    const auto height = static_cast<std::int32_t>(le32(head, 8)) / 2;
    picture.pixels = std::int64_t{width > 0 ? width : 0} * (height > 0 ? height : 0);
    picture.bits = le16(head, 14);
    return true;
}

} // namespace

std::unique_ptr<CxImage> IcoReader::decode(const QByteArray& bytes, std::string* error) {
    if (bytes.size() < kDirectory || le16(bytes, 2) < 1 || le16(bytes, 2) > 2) {
        if (error)
            *error = "not an icon file";
        return nullptr;
    }
    const int count = le16(bytes, 4);
    Picture best;
    bool found = false;
    for (int i = 0; i < count && kDirectory + (i + 1) * kEntry <= bytes.size(); ++i) {
        Picture picture;
        if (!describe(bytes, kDirectory + i * kEntry, picture))
            continue;
        if (!found || picture.pixels > best.pixels ||
            (picture.pixels == best.pixels && picture.bits > best.bits)) {
            best = picture;
            found = true;
        }
    }
    if (!found) {
        if (error)
            *error = "the icon file holds no picture";
        return nullptr;
    }
    if (best.png)
        return QtPictureReader::decode(bytes.mid(best.offset, best.size), "png", error);
    // The chosen entry alone, as a one-picture icon at offset 22.
    QByteArray one = bytes.left(kDirectory);
    one[4] = 1;
    one[5] = 0;
    const qsizetype entry = kDirectory;
    for (int i = 0; i < count; ++i) {
        if (le32(bytes, kDirectory + i * kEntry + 12) == std::uint32_t(best.offset)) {
            one.append(bytes.mid(kDirectory + i * kEntry, kEntry));
            break;
        }
    }
    if (one.size() != entry + kEntry)
        return nullptr;
    const std::uint32_t offset = kDirectory + kEntry;
    for (int k = 0; k < 4; ++k)
        one[entry + 12 + k] = static_cast<char>((offset >> (8 * k)) & 0xFF);
    one.append(bytes.mid(best.offset, best.size));
    return QtPictureReader::decode(one, "ico", error);
}
