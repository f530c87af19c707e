#include "import/BmpRleReader.h"

#include "gif/CxImage.h"
#include "import/PictureAllocator.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Run-length codes, two bytes each: count > 0: count pixels of the second byte (4-bit data:
// its two nibbles, high first, alternating); count 0: an escape: 0 end of line, 1 end of
// bitmap, 2 delta (two more bytes: right, down), 3..255 that many pixels stored as they are
// (4-bit: two a byte), padded to an even number of bytes.
class Runs {
public:
    Runs(const std::uint8_t* data, std::int64_t size, std::int64_t width, std::int64_t height,
         int bits, std::vector<std::uint8_t>& indices)
        : m_data(data), m_size(size), m_width(width), m_height(height), m_bits(bits),
          m_indices(indices) {}

    void read() {
        std::int64_t at = 0;
        while (at + 2 <= m_size && m_row < m_height) {
            const int count = m_data[at], value = m_data[at + 1];
            at += 2;
            if (count > 0) {
                for (int i = 0; i < count; ++i)
                    put(m_bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
            } else if (value == 0) {
                m_x = 0;
                ++m_row;
            } else if (value == 1) {
                return;
            } else if (value == 2) {
                if (at + 2 > m_size)
                    return;
                m_x += m_data[at];
                m_row += m_data[at + 1];
                at += 2;
            } else {
                const std::int64_t bytes = m_bits == 8 ? value : (value + 1) / 2;
                for (int i = 0; i < value && at + i * m_bits / 8 < m_size; ++i) {
                    const int byte = m_data[at + i * m_bits / 8];
                    put(m_bits == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F));
                }
                at += bytes + (bytes & 1);
            }
        }
    }

private:
    // Rows are stored bottom up: m_row 0 is the picture's last row.
    void put(int index) {
        if (m_x < m_width && m_row < m_height)
            m_indices[static_cast<std::size_t>(m_row * m_width + m_x)] =
                static_cast<std::uint8_t>(index);
        ++m_x;
    }

    const std::uint8_t* m_data;
    std::int64_t m_size;
    std::int64_t m_width;
    std::int64_t m_height;
    int m_bits;
    std::vector<std::uint8_t>& m_indices;
    std::int64_t m_x = 0;
    std::int64_t m_row = 0;
};

} // namespace

std::unique_ptr<CxImage> BmpRleReader::decode(const QByteArray& bytes, const Layout& layout,
                                              std::string* error) {
    auto fail = [error](const char* text) {
        if (error)
            *error = text;
        return nullptr;
    };
    const std::int64_t width = layout.width, height = std::abs(layout.height);
    if (width <= 0 || height <= 0)
        return fail("the bitmap has no pixels");
    if (layout.offset > bytes.size())
        return fail("the bitmap's pixel offset lies outside the file");
    if (!PictureAllocator::fits(width, height, 4, error))
        return nullptr;
    // Palette entries: blue, green, red, unused; indices past the table are opaque black.
    std::uint8_t palette[256][3] = {};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::int64_t entries = std::min<std::int64_t>(
        {layout.paletteEntries, std::int64_t{1} << layout.bits,
         std::max<std::int64_t>(0, (bytes.size() - layout.paletteOffset) / 4)});
    for (std::int64_t i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
            palette[i][c] = data[layout.paletteOffset + i * 4 + c];
    auto picture = PictureAllocator::create(width, height, false, error);
    if (!picture)
        return nullptr;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width * height), 0);
    Runs(data + layout.offset, bytes.size() - layout.offset, width, height, layout.bits, indices)
        .read();
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t fromTop = layout.height < 0 ? row : height - 1 - row;
        std::uint8_t* out = picture->topRow(static_cast<std::int32_t>(fromTop));
        const std::uint8_t* in = indices.data() + row * width;
        for (std::int64_t x = 0; x < width; ++x, out += 4) {
            const std::uint8_t* colour = palette[in[x]];
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
            out[3] = 255;
        }
    }
    return picture;
}
