#include "gif/GifLzwCompressor.h"

#include "gif/CxFile.h"
#include "gif/CxImage.h"

#include <algorithm>
#include <iterator>

namespace {

// Low-bit masks indexed by the number of bits held in the accumulator.
constexpr std::uint32_t kMasks[] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                    0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                    0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

constexpr int maxCodeFor(int bits) {
    return (1 << bits) - 1;
}

// The pixels of a palette image in file order: top row first, left to right; -1 at the end.
// Kept in locals of the compressor's loop: the sub-block buffer is written through byte
// pointers, which would otherwise make the compiler reload a cursor held in members after
// every output byte.
class PixelCursor {
public:
    explicit PixelCursor(const CxImage& image)
        : m_image(image), m_width(image.GetWidth()), m_row(image.topRow(0)),
          m_left(static_cast<long>(image.GetWidth()) * image.GetHeight()) {}
    long next() {
        if (m_left <= 0)
            return -1;
        --m_left;
        const long r = m_row[m_x];
        if (++m_x == m_width) {
            m_x = 0;
            m_row = m_left > 0 ? m_image.topRow(++m_rowFromTop) : nullptr;
        }
        return r;
    }

private:
    const CxImage& m_image;
    std::int32_t m_width;
    const std::uint8_t* m_row;
    long m_left;
    std::int32_t m_x = 0;
    std::int32_t m_rowFromTop = 0;
};

} // namespace

GifLzwCompressor::GifLzwCompressor() {
    std::fill(std::begin(m_htab), std::end(m_htab), -1);
    std::fill(std::begin(m_codetab), std::end(m_codetab), std::uint16_t{0});
    std::fill(std::begin(m_accum), std::end(m_accum), std::uint8_t{0});
}

void GifLzwCompressor::beginCodes(int init_bits, CxFile* outfile) {
    m_init_bits = init_bits;
    m_outfile = outfile;
    m_n_bits = init_bits;
    m_maxcode = static_cast<std::int16_t>(maxCodeFor(m_n_bits));
    m_ClearCode = 1 << (init_bits - 1);
    m_EOFCode = m_ClearCode + 1;
    m_free_ent = static_cast<std::int16_t>(m_ClearCode + 2);
    m_clear_flg = 0;
    m_a_count = 0;
    m_cur_accum = 0;
    m_cur_bits = 0;
}

void GifLzwCompressor::compressNONE(const CxImage& image, int init_bits, CxFile* outfile) {
    beginCodes(init_bits, outfile);
    PixelCursor pixels(image);

    output(m_ClearCode);
    long c;
    while ((c = pixels.next()) != -1) {
        output(static_cast<int>(c));
        // Every literal makes the decoder add a table entry; follow it so that the code
        // width grows in step, and clear before the table would pass 4095.
        if (m_free_ent < kMaxMaxCode) {
            ++m_free_ent;
        } else {
            m_free_ent = static_cast<std::int16_t>(m_ClearCode + 2);
            m_clear_flg = 1;
            output(m_ClearCode);
        }
    }
    output(m_EOFCode);
}

void GifLzwCompressor::compressLZW(const CxImage& image, int init_bits, CxFile* outfile) {
    beginCodes(init_bits, outfile);
    PixelCursor pixels(image);

    long ent = pixels.next();
    // Hash shift: 5003 doubles 4 times to reach 65536, so keys spread by c << (8 - 4).
    int hshift = 0;
    for (long fcode = kHashSize; fcode < 65536L; fcode *= 2L)
        ++hshift;
    hshift = 8 - hshift;
    cl_hash(kHashSize);
    output(m_ClearCode);

    long c;
    while ((c = pixels.next()) != -1) {
        const long fcode = (c << kMaxBits) + ent;
        long i = (c << hshift) ^ ent;
        if (m_htab[i] == fcode) {
            ent = m_codetab[i];
            continue;
        }
        if (m_htab[i] >= 0) {
            // Secondary probe of the open-addressed table.
            long disp = kHashSize - i;
            if (i == 0)
                disp = 1;
            bool found = false;
            do {
                if ((i -= disp) < 0)
                    i += kHashSize;
                if (m_htab[i] == fcode) {
                    ent = m_codetab[i];
                    found = true;
                    break;
                }
            } while (m_htab[i] > 0);
            if (found)
                continue;
        }
        output(static_cast<int>(ent));
        ent = c;
        if (m_free_ent < kMaxMaxCode) {
            m_codetab[i] = static_cast<std::uint16_t>(m_free_ent++);
            m_htab[i] = static_cast<std::int32_t>(fcode);
        } else {
            cl_hash(kHashSize);
            m_free_ent = static_cast<std::int16_t>(m_ClearCode + 2);
            m_clear_flg = 1;
            output(m_ClearCode);
        }
    }
    output(static_cast<int>(ent));
    output(m_EOFCode);
}

void GifLzwCompressor::output(int code) {
    // Locals for the accumulator: byte stores into the sub-block buffer would otherwise force
    // the members to be reloaded after every byte.
    std::uint32_t accum = m_cur_accum & kMasks[m_cur_bits];
    int bits = m_cur_bits;
    if (bits > 0)
        accum |= static_cast<std::uint32_t>(code) << bits;
    else
        accum = static_cast<std::uint32_t>(code);
    bits += m_n_bits;
    int count = m_a_count;
    while (bits >= 8) {
        m_accum[count++] = static_cast<std::uint8_t>(accum & 0xFF);
        accum >>= 8;
        bits -= 8;
        if (count >= 254) {
            m_a_count = count;
            flush_char();
            count = 0;
        }
    }
    m_a_count = count;
    m_cur_accum = accum;
    m_cur_bits = bits;
    // Widen after the code that made the next free code pass the width; a clear returns to
    // the initial width. The width stops at 12 bits (largest code 4096 there).
    if (m_free_ent > m_maxcode || m_clear_flg) {
        if (m_clear_flg) {
            m_n_bits = m_init_bits;
            m_maxcode = static_cast<std::int16_t>(maxCodeFor(m_n_bits));
            m_clear_flg = 0;
        } else {
            ++m_n_bits;
            m_maxcode = static_cast<std::int16_t>(m_n_bits == kMaxBits ? kMaxMaxCode
                                                                       : maxCodeFor(m_n_bits));
        }
    }
    if (code == m_EOFCode) {
        // The last bits, padded with zeros to a byte; the body's writer checks the stream.
        while (m_cur_bits > 0) {
            char_out(static_cast<int>(m_cur_accum & 0xFF));
            m_cur_accum >>= 8;
            m_cur_bits -= 8;
        }
        m_cur_bits = 0;
        flush_char();
        m_outfile->Flush();
    }
}

void GifLzwCompressor::cl_hash(long hsize) {
    std::fill(m_htab, m_htab + hsize, -1);
}

void GifLzwCompressor::char_out(int c) {
    m_accum[m_a_count++] = static_cast<std::uint8_t>(c);
    if (m_a_count >= 254)
        flush_char();
}

void GifLzwCompressor::flush_char() {
    if (m_a_count > 0) {
        m_outfile->PutC(static_cast<std::uint8_t>(m_a_count));
        m_outfile->Write(m_accum, 1, static_cast<std::size_t>(m_a_count));
        m_a_count = 0;
    }
}
