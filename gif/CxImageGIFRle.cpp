// CxImageGIF's run-length compressor: LZW-compatible codes that only ever use the table
// entries a decoder builds from runs of one pixel value, so no hashing is needed.
#include "gif/CxImageGIF.h"

#include "gif/CxFile.h"

namespace {

constexpr int kMaxBits = 12; // widest code

} // namespace

// Run-length compressor state; lives for one compressRLE call.
struct GifRle {
    CxFile* out = nullptr;  // where the sub-blocks go
    int rl_pixel = 0;       // value of the current run
    int rl_basecode = 0;    // clear code + 2: the first run code
    int rl_count = 0;       // length of the current run
    int rl_table_pixel = 0; // pixel whose run codes the decoder's table now holds
    int rl_table_max = 0;   // longest run the decoder's table can express for that pixel
    int just_cleared = 0;   // true right after a clear code
    int out_bits = 0;       // current code width
    int out_bits_init = 0;
    int out_count = 0; // codes since the last clear
    int out_bump = 0;  // out_count at which the width grows
    int out_bump_init = 0;
    int out_clear = 0; // out_count at which a clear is due
    int out_clear_init = 0;
    int max_ocodes = 0; // codes allowed before the table would pass 4095
    int code_clear = 0;
    int code_eof = 0;
    unsigned int obuf = 0; // bit buffer
    int obits = 0;         // bits held in obuf
    unsigned char oblock[256] = {};
    int oblen = 0;
};

void CxImageGIF::compressRLE(int init_bits, CxFile* outfile) {
    GifRle rle;
    rle.out = outfile;
    rle.code_clear = 1 << (init_bits - 1);
    rle.code_eof = rle.code_clear + 1;
    rle.rl_basecode = rle.code_eof + 1;
    rle.out_bump_init = (1 << (init_bits - 1)) - 1;
    // Small code sizes clear often so the width never outgrows the decoder's table.
    rle.out_clear_init = (init_bits <= 3) ? 9 : (rle.out_bump_init - 1);
    rle.out_bits_init = init_bits;
    rle.max_ocodes = (1 << kMaxBits) - ((1 << (rle.out_bits_init - 1)) + 3);
    rle.rl_count = 0;
    rle_clear(&rle);
    rle_output(rle.code_clear, &rle);

    int c;
    while (true) {
        c = GifNextPixel();
        if (rle.rl_count > 0 && c != rle.rl_pixel)
            rle_flush(&rle);
        if (c == -1)
            break;
        if (rle.rl_pixel == c) {
            ++rle.rl_count;
        } else {
            rle.rl_pixel = c;
            rle.rl_count = 1;
        }
    }
    rle_output(rle.code_eof, &rle);
    rle_output_flush(&rle);
}

void CxImageGIF::rle_clear(GifRle* rle) {
    rle->out_bits = rle->out_bits_init;
    rle->out_bump = rle->out_bump_init;
    rle->out_clear = rle->out_clear_init;
    rle->out_count = 0;
    rle->rl_table_max = 0;
    rle->just_cleared = 1;
}

void CxImageGIF::rle_flush(GifRle* rle) {
    if (rle->rl_count == 1) {
        rle_output_plain(rle->rl_pixel, rle);
        rle->rl_count = 0;
        return;
    }
    if (rle->just_cleared)
        rle_flush_fromclear(rle->rl_count, rle);
    else if (rle->rl_table_max < 2 || rle->rl_table_pixel != rle->rl_pixel)
        rle_flush_clearorrep(rle->rl_count, rle);
    else
        rle_flush_withtable(rle->rl_count, rle);
    rle->rl_count = 0;
}

void CxImageGIF::rle_flush_withtable(int count, GifRle* rle) {
    int repmax = count / rle->rl_table_max;
    int leftover = count % rle->rl_table_max;
    int repleft = leftover ? 1 : 0;
    if (rle->out_count + repmax + repleft > rle->max_ocodes) {
        repmax = rle->max_ocodes - rle->out_count;
        leftover = count - repmax * rle->rl_table_max;
        repleft = 1 + static_cast<int>(rle_compute_triangle_count(
                          static_cast<unsigned>(leftover), static_cast<unsigned>(rle->max_ocodes)));
    }
    if (1 + static_cast<int>(rle_compute_triangle_count(static_cast<unsigned>(count),
                                                        static_cast<unsigned>(rle->max_ocodes))) <
        repmax + repleft) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
        rle_flush_fromclear(count, rle);
        return;
    }
    rle->out_clear = rle->max_ocodes;
    for (; repmax > 0; --repmax)
        rle_output_plain(rle->rl_basecode + rle->rl_table_max - 2, rle);
    if (leftover) {
        if (rle->just_cleared)
            rle_flush_fromclear(leftover, rle);
        else if (leftover == 1)
            rle_output_plain(rle->rl_pixel, rle);
        else
            rle_output_plain(rle->rl_basecode + leftover - 2, rle);
    }
    rle_reset_out_clear(rle);
}

void CxImageGIF::rle_flush_clearorrep(int count, GifRle* rle) {
    const int withclr =
        1 + static_cast<int>(rle_compute_triangle_count(static_cast<unsigned>(count),
                                                        static_cast<unsigned>(rle->max_ocodes)));
    if (withclr < count) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
        rle_flush_fromclear(count, rle);
    } else {
        for (; count > 0; --count)
            rle_output_plain(rle->rl_pixel, rle);
    }
}

void CxImageGIF::rle_flush_fromclear(int count, GifRle* rle) {
    rle->out_clear = rle->max_ocodes;
    rle->rl_table_pixel = rle->rl_pixel;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            rle->rl_table_max = 1;
            rle_output_plain(rle->rl_pixel, rle);
            --count;
        } else if (count >= n) {
            rle->rl_table_max = n;
            rle_output_plain(rle->rl_basecode + n - 2, rle);
            count -= n;
        } else if (count == 1) {
            ++rle->rl_table_max;
            rle_output_plain(rle->rl_pixel, rle);
            count = 0;
        } else {
            ++rle->rl_table_max;
            rle_output_plain(rle->rl_basecode + count - 2, rle);
            count = 0;
        }
        n = rle->out_count == 0 ? 1 : n + 1;
    }
    rle_reset_out_clear(rle);
}

void CxImageGIF::rle_reset_out_clear(GifRle* rle) {
    rle->out_clear = rle->out_clear_init;
    if (rle->out_count >= rle->out_clear) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
    }
}

unsigned int CxImageGIF::rle_compute_triangle_count(unsigned int count, unsigned int nrepcodes) {
    // Codes needed for a run of count pixels from a fresh table: runs of 1, 2, 3 ... each one
    // code, nrepcodes of them at most before a clear.
    unsigned int cost = 0;
    const unsigned int perrep = (nrepcodes * (nrepcodes + 1)) / 2;
    while (count >= perrep) {
        cost += nrepcodes;
        count -= perrep;
    }
    if (count > 0) {
        unsigned int n = rle_isqrt(count);
        while (n * (n + 1) >= 2 * count)
            --n;
        while (n * (n + 1) < 2 * count)
            ++n;
        cost += n;
    }
    return cost;
}

unsigned int CxImageGIF::rle_isqrt(unsigned int x) {
    if (x < 2)
        return x;
    // Start above the root: 2 to the number of times x divides by 4 before reaching 0.
    unsigned int r = 1;
    for (unsigned int v = x; v != 0; v >>= 2)
        r <<= 1;
    while (true) {
        const unsigned int v = ((x / r) + r) / 2;
        if (v == r || v == r + 1)
            return r;
        r = v;
    }
}

void CxImageGIF::rle_write_block(GifRle* rle) {
    rle->out->PutC(static_cast<std::uint8_t>(rle->oblen));
    rle->out->Write(rle->oblock, 1, static_cast<std::size_t>(rle->oblen));
    rle->oblen = 0;
}

void CxImageGIF::rle_block_out(unsigned char c, GifRle* rle) {
    rle->oblock[rle->oblen++] = c;
    if (rle->oblen >= 255)
        rle_write_block(rle);
}

void CxImageGIF::rle_output_flush(GifRle* rle) {
    if (rle->obits > 0)
        rle_block_out(static_cast<unsigned char>(rle->obuf), rle);
    if (rle->oblen > 0)
        rle_write_block(rle);
}

void CxImageGIF::rle_output(int val, GifRle* rle) {
    rle->obuf |= static_cast<unsigned int>(val) << rle->obits;
    rle->obits += rle->out_bits;
    while (rle->obits >= 8) {
        rle_block_out(static_cast<unsigned char>(rle->obuf & 0xFF), rle);
        rle->obuf >>= 8;
        rle->obits -= 8;
    }
}

void CxImageGIF::rle_output_plain(int c, GifRle* rle) {
    rle->just_cleared = 0;
    rle_output(c, rle);
    ++rle->out_count;
    if (rle->out_count >= rle->out_bump) {
        ++rle->out_bits;
        rle->out_bump += 1 << (rle->out_bits - 1);
    }
    if (rle->out_count >= rle->out_clear) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
    }
}
