#include "gif/GifLzwDecoder.h"

#include "gif/CxFile.h"
#include "gif/GifBlockReader.h"
#include "gif/GifFrameRows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

void GifLzwDecoder::init_exp(int size) {
    m_curr_size = size + 1;
    m_top_slot = 1 << m_curr_size;
    m_clear = 1 << size;
    m_ending = m_clear + 1;
    m_slot = m_newcodes = m_ending + 1;
    m_navail_bytes = m_nbits_left = 0;
    m_acc = 0;
    m_pbytes = 0;
    m_terminatorRead = false;
    std::memset(m_prefix, 0, sizeof m_prefix);
    std::memset(m_suffix, 0, sizeof m_suffix);
}

int GifLzwDecoder::get_byte(CxFile* fp) {
    if (m_pos >= m_fill) {
        m_pos = 0;
        m_fill = static_cast<int>(fp->Read(m_buf, 1, kReadBufferSize));
        if (m_fill <= 0) {
            m_fill = 0;
            return -1;
        }
    }
    return m_buf[m_pos++];
}

int GifLzwDecoder::get_next_code(CxFile* fp) {
    // A 0-length sub-block (the block terminator) ends the data as if the end code were read.
    while (m_nbits_left < m_curr_size) {
        if (m_navail_bytes <= 0) {
            if (m_terminatorRead)
                return m_ending;
            const int n = get_byte(fp);
            if (n < 0)
                return n;
            if (n == 0) {
                m_terminatorRead = true;
                return m_ending;
            }
            if (m_fill - m_pos >= n) {
                std::memcpy(m_byte_buff, m_buf + m_pos, static_cast<std::size_t>(n));
                m_pos += n;
            } else {
                for (int i = 0; i < n; ++i) {
                    const int b = get_byte(fp);
                    if (b < 0)
                        return b;
                    m_byte_buff[i] = static_cast<std::uint8_t>(b);
                }
            }
            m_navail_bytes = n;
            m_pbytes = 0;
        }
        m_acc |= static_cast<std::uint32_t>(m_byte_buff[m_pbytes++]) << m_nbits_left;
        m_nbits_left += 8;
        --m_navail_bytes;
    }
    const int code = static_cast<int>(m_acc & ((1u << m_curr_size) - 1));
    m_acc >>= m_curr_size;
    m_nbits_left -= m_curr_size;
    return code;
}

int GifLzwDecoder::decoder(CxFile* fp, GifFrameRows& rows, int& bad_code_count) {
    bad_code_count = 0;
    m_pos = m_fill = 0;
    m_terminatorRead = false;
    const int size = get_byte(fp);
    if (size < 0)
        return size;
    // The clear code 2^size must fit the 12-bit codes with room for the end code and string
    // codes (size up to 11); below 2 the clear and end codes leave no room for two colours.
    // Sizes past 8 give indices past 255 only through damaged data; they keep their low byte.
    if (size < 2 || size > kMaxCodeBits - 1)
        return kBadCodeSize;
    init_exp(size);

    std::uint8_t* out = rows.window();
    std::uint8_t* end = rows.windowEnd();
    bool full = out == end; // no pixel is wanted (any more): codes are read, pixels dropped
    auto lineDone = [&]() {
        if (rows.lineDone()) {
            out = rows.window();
            end = rows.windowEnd();
        } else {
            full = true;
        }
    };

    int ret = 0;
    int oc = 0, fc = 0;
    bool afterClear = true; // data that starts without a clear code decodes as if it had one
    int c;
    while ((c = get_next_code(fp)) != m_ending) {
        if (c < 0) {
            ret = c;
            break;
        }
        if (c == m_clear) {
            m_curr_size = size + 1;
            m_slot = m_newcodes;
            m_top_slot = 1 << m_curr_size;
            afterClear = true;
            continue;
        }
        if (afterClear) {
            afterClear = false;
            if (c >= m_slot)
                c = 0;
            oc = fc = c;
            if (!full) {
                *out++ = static_cast<std::uint8_t>(c);
                if (out == end)
                    lineDone();
            }
            continue;
        }
        int sp = 0;
        int code = c;
        if (code >= m_slot) {
            // Not yet in the table: the previous string plus its own first character (or a
            // corrupt code, decoded the same way and counted).
            if (code > m_slot)
                ++bad_code_count;
            code = oc;
            m_stack[sp++] = static_cast<std::uint8_t>(fc);
        }
        while (code >= m_newcodes && sp < kMaxCodes) {
            m_stack[sp++] = m_suffix[code];
            code = m_prefix[code];
        }
        if (code >= m_clear) // only reachable through a corrupt table
            code = 0;
        m_stack[sp++] = static_cast<std::uint8_t>(code);
        if (m_slot < m_top_slot) {
            m_suffix[m_slot] = static_cast<std::uint8_t>(code);
            m_prefix[m_slot] = static_cast<std::uint16_t>(oc);
            ++m_slot;
        }
        fc = code;
        oc = c;
        if (m_slot >= m_top_slot && m_curr_size < kMaxCodeBits) {
            m_top_slot <<= 1;
            ++m_curr_size;
        }
        while (sp > 0 && !full) {
            const int n = static_cast<int>(std::min<std::ptrdiff_t>(sp, end - out));
            for (int i = 0; i < n; ++i)
                out[i] = m_stack[sp - 1 - i];
            out += n;
            sp -= n;
            if (out == end)
                lineDone();
        }
    }
    rows.finish(out);
    return ret;
}

void GifLzwDecoder::finish(CxFile* fp) {
    fp->Seek(-(m_fill - m_pos), SEEK_CUR);
    m_pos = m_fill = 0;
    if (!m_terminatorRead)
        GifBlockReader::skipSubBlocks(fp);
}
