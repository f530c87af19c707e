#include "import/PcxReader.h"

#include "gif/CxImage.h"
#include "import/MagickReader.h"
#include "import/PictureAllocator.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Header (128 bytes): manufacturer(u8 = 10) version(u8) encoding(u8 = 1, run-length)
// bits per pixel per plane(u8) xmin ymin xmax ymax(u16 each) x/y dpi(u16 each)
// 16-colour palette(48 bytes: red, green, blue) at 16, reserved(u8), planes(u8) at 65,
// bytes per plane line(u16) at 66. Each row holds the planes one after the other; the pixel
// index takes bit p from plane p. Run-length data: a byte with its top two bits set counts
// (low 6 bits) copies of the next byte, any other byte stands for itself.
constexpr qsizetype kHeader = 128;
constexpr qsizetype kPalette = 16;

// The default palette of files that carry none (versions 0 and 3): the 16 EGA colours.
constexpr std::uint8_t kEga[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

bool planar(const QByteArray& b) {
    if (b.size() < kHeader)
        return false;
    const int planes = static_cast<std::uint8_t>(b[65]);
    return b[0] == 10 && b[2] == 1 && b[3] == 1 && planes >= 1 && planes <= 4;
}

// Unpacks the run-length data into exactly out.size() bytes; false when the data ends first.
bool unpack(const QByteArray& b, std::vector<std::uint8_t>& out) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(b.constData());
    qsizetype at = kHeader;
    std::size_t done = 0;
    while (done < out.size()) {
        if (at >= b.size())
            return false;
        std::uint8_t value = data[at++];
        std::size_t count = 1;
        if ((value & 0xC0) == 0xC0) {
            if (at >= b.size())
                return false;
            count = value & 0x3F;
            value = data[at++];
        }
        count = std::min(count, out.size() - done);
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(done), count, value);
        done += count;
    }
    return true;
}

std::unique_ptr<CxImage> decodePlanar(const QByteArray& b, std::string* error) {
    auto fail = [error](const char* text) {
        if (error)
            *error = text;
        return nullptr;
    };
    const int version = static_cast<std::uint8_t>(b[1]);
    const int planes = static_cast<std::uint8_t>(b[65]);
    const std::int64_t xMin = le16(b, 4), yMin = le16(b, 6), xMax = le16(b, 8), yMax = le16(b, 10);
    const std::int64_t lineBytes = le16(b, 66);
    const std::int64_t width = xMax - xMin + 1, height = yMax - yMin + 1;
    if (width <= 0 || height <= 0)
        return fail("the PCX file has no pixels");
    if (lineBytes * 8 < width)
        return fail("the PCX file's lines are shorter than its width");
    // Every 2 bytes of run-length data give at most 63 bytes.
    const std::int64_t rowBytes = lineBytes * planes;
    if ((b.size() - kHeader) / 2 * 63 + 63 < rowBytes * height)
        return fail("the PCX file is cut off");
    // One plane is black and white (a set bit is white) whatever the header palette says.
    std::uint8_t palette[16][3];
    for (int i = 0; i < 16; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (planes == 1)
                palette[i][c] = i == 0 ? 0 : 255;
            else if (version == 0 || version == 3)
                palette[i][c] = kEga[i][c];
            else
                palette[i][c] = static_cast<std::uint8_t>(b[kPalette + i * 3 + c]);
        }
    }
    auto picture = PictureAllocator::create(width, height, false, error);
    if (!picture)
        return nullptr;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(rowBytes * height));
    if (!unpack(b, data))
        return fail("the PCX file is cut off");
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data.data() + y * rowBytes;
        std::uint8_t* out = picture->topRow(static_cast<std::int32_t>(y));
        for (std::int64_t x = 0; x < width; ++x, out += 4) {
            int index = 0;
            for (int p = 0; p < planes; ++p)
                index |= ((row[p * lineBytes + x / 8] >> (7 - x % 8)) & 1) << p;
            out[0] = palette[index][2];
            out[1] = palette[index][1];
            out[2] = palette[index][0];
            out[3] = 255;
        }
    }
    return picture;
}

} // namespace

std::unique_ptr<CxImage> PcxReader::decode(const QByteArray& bytes, std::string* error) {
    if (planar(bytes))
        return decodePlanar(bytes, error);
    return MagickReader::decode(bytes, "PCX", error);
}
