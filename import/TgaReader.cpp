#include "import/TgaReader.h"

#include "gif/CxImage.h"
#include "import/MagickReader.h"
#include "import/PictureAllocator.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Header (18 bytes): ID length(u8) colour map type(u8) image type(u8) map first entry(u16)
// map length(u16) map entry bits(u8) x origin(u16) y origin(u16) width(u16) height(u16)
// pixel bits(u8) descriptor(u8: bits 0-3 alpha bits, bit 4 right-to-left, bit 5 top-down).
// Then the image ID, the colour map and the pixels; run-length pixels come in packets of a
// count byte (bit 7 set: one pixel repeated, else that many raw pixels; count = low 7 bits + 1)
// that may run on from one row into the next.
constexpr qsizetype kHeader = 18;
constexpr std::uint8_t kGrey = 3, kRleGrey = 11;

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

bool greyWithAlpha(const QByteArray& b) {
    if (b.size() < kHeader)
        return false;
    const auto type = static_cast<std::uint8_t>(b[2]);
    return (type == kGrey || type == kRleGrey) && static_cast<std::uint8_t>(b[16]) == 16;
}

// Grey and alpha pixels (two bytes each: grey, then alpha) in file order, unpacked from raw or
// run-length data; false when the data ends first.
bool readGreyAlpha(const QByteArray& b, qsizetype at, bool rle, std::int64_t count,
                   std::vector<std::uint8_t>& pixels) {
    pixels.resize(static_cast<std::size_t>(count) * 2);
    const auto* data = reinterpret_cast<const std::uint8_t*>(b.constData());
    const qsizetype size = b.size();
    if (!rle) {
        if (size - at < count * 2)
            return false;
        std::copy(data + at, data + at + count * 2, pixels.begin());
        return true;
    }
    std::int64_t done = 0;
    while (done < count) {
        if (at >= size)
            return false;
        const std::uint8_t packet = data[at++];
        const std::int64_t run = std::min<std::int64_t>((packet & 0x7F) + 1, count - done);
        const std::int64_t stored = (packet & 0x80) ? 1 : run;
        if (size - at < stored * 2)
            return false;
        for (std::int64_t i = 0; i < run; ++i) {
            const qsizetype from = at + ((packet & 0x80) ? 0 : i * 2);
            pixels[static_cast<std::size_t>((done + i) * 2)] = data[from];
            pixels[static_cast<std::size_t>((done + i) * 2 + 1)] = data[from + 1];
        }
        at += stored * 2;
        done += run;
    }
    return true;
}

std::unique_ptr<CxImage> decodeGreyAlpha(const QByteArray& b, std::string* error) {
    auto fail = [error](const char* text) {
        if (error)
            *error = text;
        return nullptr;
    };
    const std::uint8_t idLength = static_cast<std::uint8_t>(b[0]);
    const bool hasMap = b[1] != 0;
    const std::int64_t mapBytes =
        hasMap ? std::int64_t{le16(b, 5)} * ((static_cast<std::uint8_t>(b[7]) + 7) / 8) : 0;
    const std::int64_t width = le16(b, 12), height = le16(b, 14);
    const std::uint8_t descriptor = static_cast<std::uint8_t>(b[17]);
    const bool alpha = (descriptor & 0x0F) != 0; // no alpha bits: the second byte is unused
    const bool rightToLeft = descriptor & 0x10, topDown = descriptor & 0x20;
    if (width == 0 || height == 0)
        return fail("the TGA file has no pixels");
    // Raw pixels take 2 bytes each; a run-length packet of 3 bytes gives at most 128 pixels.
    const std::int64_t start = kHeader + idLength + mapBytes;
    const std::int64_t left = b.size() - start, count = width * height;
    const bool rle = b[2] == kRleGrey;
    if (left < 0 || (rle ? left / 3 * 128 + 128 < count : left < count * 2))
        return fail("the TGA file is cut off");
    auto picture = PictureAllocator::create(width, height, alpha, error);
    if (!picture)
        return nullptr;
    std::vector<std::uint8_t> pixels;
    if (!readGreyAlpha(b, start, rle, count, pixels))
        return fail("the TGA file is cut off");
    for (std::int64_t row = 0; row < height; ++row) {
        const auto fromTop = static_cast<std::int32_t>(topDown ? row : height - 1 - row);
        std::uint8_t* out = picture->topRow(fromTop);
        for (std::int64_t i = 0; i < width; ++i) {
            const std::int64_t x = rightToLeft ? width - 1 - i : i;
            const std::uint8_t* in = &pixels[static_cast<std::size_t>((row * width + i) * 2)];
            std::uint8_t* p = out + x * 4;
            p[0] = p[1] = p[2] = in[0];
            p[3] = alpha ? in[1] : 255;
        }
    }
    return picture;
}

} // namespace

std::unique_ptr<CxImage> TgaReader::decode(const QByteArray& bytes, std::string* error) {
    if (greyWithAlpha(bytes))
        return decodeGreyAlpha(bytes, error);
    return MagickReader::decode(bytes, "TGA", error);
}
