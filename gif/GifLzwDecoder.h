#pragma once

#include <cstdint>

class CxFile;
class GifFrameRows;

// GifLzwDecoder: turns one image's data (LZW minimum code size, data sub-blocks, 0 block
// terminator) into palette indices for a GifFrameRows. Owns the code tables and a read
// buffer (about 33 KB together, so it is made once per decode and reused for every image);
// after `finish` the stream stands right after the image data, whatever the decoder read.
class GifLzwDecoder {
public:
    // Results of decoder() besides 0 (success) and -1 (the data ended first).
    static constexpr int kBadCodeSize = -20; // a minimum code size outside 2..11
    static constexpr int kNoMemory = -10;

    // Decodes one image's data into rows. Codes past the table's next slot are decoded as the
    // previous string plus its first character and counted in bad_code_count. A negative
    // result leaves rows with the pixels decoded so far.
    int decoder(CxFile* fp, GifFrameRows& rows, int& bad_code_count);
    // Hands back what the read buffer holds beyond the image data, then steps over whatever
    // data sub-blocks the decoder left unread, up to the block terminator.
    void finish(CxFile* fp);

private:
    static constexpr int kReadBufferSize = 16383;
    static constexpr int kMaxCodes = 4096;
    static constexpr int kMaxCodeBits = 12;

    // Code width, clear and end codes and an empty table for minimum code size `size`.
    void init_exp(int size);
    // One byte through the read buffer, or -1 at the end of the data.
    int get_byte(CxFile* fp);
    // The next code, least significant bit first across data sub-blocks; the end code at the
    // block terminator; a negative value when the data ends.
    int get_next_code(CxFile* fp);

    // Buffered reading.
    std::uint8_t m_buf[kReadBufferSize];
    int m_pos = 0;
    int m_fill = 0;

    // Code tables: each code past the end code is a string, its last byte in suffix and the
    // code of the rest in prefix; stack receives a string's bytes last first.
    std::uint8_t m_stack[kMaxCodes + 2];
    std::uint8_t m_suffix[kMaxCodes];
    std::uint16_t m_prefix[kMaxCodes];
    int m_curr_size = 0; // code width in bits
    int m_top_slot = 0;  // 2^width: the table size at which the width grows
    int m_clear = 0;
    int m_ending = 0;
    int m_newcodes = 0; // first string code: end code + 1
    int m_slot = 0;     // next free code

    // The data sub-block being read and the bits not yet used.
    std::uint8_t m_byte_buff[256];
    int m_pbytes = 0;
    int m_navail_bytes = 0;
    std::uint32_t m_acc = 0;
    int m_nbits_left = 0;
    bool m_terminatorRead = false; // the 0-length sub-block that ends the data was read
};
