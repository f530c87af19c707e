#pragma once

#include <cstdint>

class CxFile;
class CxImage;

// GifLzwCompressor: the LZW and the uncompressed compressors of the GIF writer and the code
// output they share. Writes one image body's codes (a clear code first, the end code last)
// in data sub-blocks of at most 254 bytes. The hash table (5003 slots, double hashing) and
// the code table are cleared in place, so one object writes any number of bodies without
// allocating.
class GifLzwCompressor {
public:
    GifLzwCompressor();

    // The palette indices of image, top row first, left to right, with initial code width
    // init_bits (minimum code size + 1).
    void compressLZW(const CxImage& image, int init_bits, CxFile* outfile);
    // Every pixel as a literal code; the code width follows the table a decoder builds.
    void compressNONE(const CxImage& image, int init_bits, CxFile* outfile);

private:
    static constexpr int kHashSize = 5003;
    static constexpr int kMaxBits = 12;
    static constexpr int kMaxMaxCode = 1 << kMaxBits;

    // Code width, clear and end codes, next free code and an empty bit accumulator.
    void beginCodes(int init_bits, CxFile* outfile);
    void output(int code);
    void cl_hash(long hsize);
    void char_out(int c);
    void flush_char();

    std::int32_t m_htab[kHashSize];
    std::uint16_t m_codetab[kHashSize];
    int m_n_bits = 0;
    std::int16_t m_maxcode = 0;
    std::int16_t m_free_ent = 0;
    int m_clear_flg = 0;
    int m_init_bits = 0;
    CxFile* m_outfile = nullptr;
    int m_ClearCode = 0;
    int m_EOFCode = 0;
    int m_a_count = 0;
    std::uint8_t m_accum[256];
    std::uint32_t m_cur_accum = 0;
    int m_cur_bits = 0;
};
