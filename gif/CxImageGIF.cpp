#include "gif/CxImageGIF.h"

#include "gif/CxFile.h"
#include "gif/CxIOFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Low-bit masks indexed by the number of bits held in the accumulator.
constexpr std::uint32_t kMasks[] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                    0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                    0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

constexpr int maxCodeFor(int bits) {
    return (1 << bits) - 1;
}

// 17 x 15 pixels: one tile of a true-colour image, 255 colours plus entry 0 for transparency.
constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;

} // namespace

CxImageGIF::CxImageGIF() {
    std::fill(std::begin(m_htab), std::end(m_htab), -1);
    std::fill(std::begin(m_codetab), std::end(m_codetab), std::uint16_t{0});
    std::fill(std::begin(m_accum), std::end(m_accum), std::uint8_t{0});
}

CxImageGIF::~CxImageGIF() = default;

void CxImageGIF::SetComment(const char* sz_comment_in) {
    if (!sz_comment_in)
        return;
    const std::size_t n = strnlen(sz_comment_in, 255);
    std::memcpy(m_comment, sz_comment_in, n);
    m_comment[n] = '\0';
}

void CxImageGIF::GetComment(char* sz_comment) const {
    if (!sz_comment)
        return;
    const std::size_t n = strnlen(m_comment, 255);
    std::memcpy(sz_comment, m_comment, n);
    sz_comment[n] = '\0';
}

void CxImageGIF::Putword(int w, CxFile* fp) {
    fp->PutC(static_cast<std::uint8_t>(w & 0xFF));
    fp->PutC(static_cast<std::uint8_t>((w / 256) & 0xFF));
}

bool CxImageGIF::Encode(std::FILE* fp) {
    CxIOFile file(fp);
    return Encode(fp ? &file : nullptr);
}

bool CxImageGIF::Encode(std::FILE* fp, CxImage** pImages, int pagecount, bool bLocalColorMap) {
    CxIOFile file(fp);
    return Encode(fp ? &file : nullptr, pImages, pagecount, bLocalColorMap);
}

bool CxImageGIF::Encode(CxFile* fp) {
    if (!EncodeSafeCheck(fp))
        return false;
    if (GetBpp() > 8)
        return EncodeRGB(fp);
    EncodeHeader(fp);
    EncodeExtension(fp);
    EncodeComment(fp);
    EncodeBody(fp, false);
    fp->PutC(';');
    return true;
}

bool CxImageGIF::Encode(CxFile* fp, CxImage** pImages, int pagecount, bool bLocalColorMap) {
    const char* failure = nullptr;
    if (!fp) {
        failure = "invalid file pointer";
    } else if (!pImages || pagecount <= 0 || !pImages[0]) {
        failure = "multipage GIF, no images!";
    } else if (!pImages[0]->IsValid() || !pImages[0]->IsIndexed()) {
        // Only palette images have a body; writing one would leave a broken file.
        failure = "Bad image pointer";
    } else {
        // A second encoder stands for each image in turn; this object supplies the loop
        // count, disposal method and comment.
        auto ghost = std::make_unique<CxImageGIF>();
        ghost->Ghost(pImages[0]);
        ghost->EncodeHeader(fp);
        if (m_loops != 1) {
            ghost->SetLoops(std::max(0, m_loops - 1));
            ghost->EncodeLoopExtension(fp);
        }
        ghost->SetDisposalMethod(GetDisposalMethod());
        ghost->EncodeExtension(fp);
        EncodeComment(fp);
        ghost->EncodeBody(fp, false);
        for (int i = 1; i < pagecount; ++i) {
            if (!pImages[i] || !pImages[i]->IsValid() || !pImages[i]->IsIndexed()) {
                failure = "Bad image pointer";
                break;
            }
            ghost->Ghost(pImages[i]);
            ghost->SetDisposalMethod(GetDisposalMethod());
            ghost->EncodeExtension(fp);
            ghost->EncodeBody(fp, bLocalColorMap);
        }
        if (!failure)
            fp->PutC(';');
    }
    if (failure) {
        SetLastError(failure);
        return false;
    }
    return true;
}

void CxImageGIF::EncodeHeader(CxFile* fp) {
    fp->Write("GIF89a", 1, 6);
    // Logical screen descriptor: width(u16) height(u16) packed(u8) background(u8) aspect(u8)
    Putword(m_head.width, fp);
    Putword(m_head.height, fp);
    std::uint8_t flags = 0x11;
    const int bpp = m_head.bitCount;
    if (m_head.colorsUsed != 0) {
        // Global table present, colour resolution and table size both bpp - 1.
        flags = static_cast<std::uint8_t>(0x80 | ((bpp - 1) << 4) | (bpp - 1));
    }
    fp->PutC(flags);
    fp->PutC(0); // background colour index
    fp->PutC(0); // pixel aspect ratio
    if (m_head.colorsUsed != 0) {
        const RGBQUAD* pal = GetPalette();
        for (std::uint32_t i = 0; i < m_head.colorsUsed; ++i) {
            const std::uint8_t rgb[3] = {pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
            fp->Write(rgb, 1, 3);
        }
    }
}

void CxImageGIF::EncodeLoopExtension(CxFile* fp) {
    // Application extension: 0x21 0xFF size 11 "NETSCAPE2.0", sub-block of 3: id 1, loops(u16)
    fp->PutC('!');
    fp->PutC(0xFF);
    fp->PutC(11);
    fp->Write("NETSCAPE2.0", 11, 1);
    fp->PutC(3);
    fp->PutC(1);
    Putword(m_loops, fp);
    fp->PutC(0);
}

void CxImageGIF::EncodeExtension(CxFile* fp) {
    // Graphic control extension: 0x21 0xF9 size 4, packed delay(u16) transparent index, 0x00
    m_gifgce.flags = static_cast<std::uint8_t>((m_dispmeth & 7) << 2);
    if (m_info.transIndex != -1)
        m_gifgce.flags |= 1;
    m_gifgce.delay[0] = static_cast<std::uint8_t>(m_info.frameDelay & 0xFF);
    m_gifgce.delay[1] = static_cast<std::uint8_t>((m_info.frameDelay >> 8) & 0xFF);
    m_gifgce.transpcolindex = static_cast<std::uint8_t>(m_info.transIndex & 0xFF);
    fp->PutC('!');
    fp->PutC(0xF9);
    fp->PutC(sizeof(m_gifgce));
    fp->Write(&m_gifgce, sizeof(m_gifgce), 1);
    fp->PutC(0);
}

void CxImageGIF::EncodeComment(CxFile* fp) {
    // Comment extension: 0x21 0xFE, one sub-block of 1..255 bytes, 0x00
    const std::size_t n = strnlen(m_comment, 255);
    if (n == 0)
        return;
    fp->PutC('!');
    fp->PutC(0xFE);
    fp->PutC(static_cast<std::uint8_t>(n));
    fp->Write(m_comment, n, 1);
    fp->PutC(0);
}

void CxImageGIF::EncodeBody(CxFile* fp, bool bLocalColorMap) {
    if (!IsIndexed()) {
        SetLastError("only palette images have a GIF image body");
        return;
    }
    m_curx = 0;
    m_cury = m_head.height - 1; // bottom-based: the top row
    m_CountDown = static_cast<long>(m_head.width) * m_head.height;
    m_row = topRow(0);
    const int bpp = m_head.bitCount;
    const int initCodeSize = bpp <= 1 ? 2 : bpp;

    // Image descriptor: 0x2C left(u16) top(u16) width(u16) height(u16) packed(u8)
    fp->PutC(',');
    Putword(m_info.xOffset, fp);
    Putword(m_info.yOffset, fp);
    Putword(m_head.width, fp);
    Putword(m_head.height, fp);
    std::uint8_t flags = 0x00;
    if (bLocalColorMap)
        flags = static_cast<std::uint8_t>(0x80 | (bpp - 1));
    fp->PutC(flags);
    if (bLocalColorMap) {
        const RGBQUAD* pal = GetPalette();
        for (std::uint32_t i = 0; i < m_head.colorsUsed; ++i) {
            const std::uint8_t rgb[3] = {pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
            fp->Write(rgb, 1, 3);
        }
    }
    fp->PutC(static_cast<std::uint8_t>(initCodeSize));
    switch (GetCodecOption(kFormatGif)) {
    case 1:
        compressNONE(initCodeSize + 1, fp);
        break;
    case 2:
        compressRLE(initCodeSize + 1, fp);
        break;
    default:
        compressLZW(initCodeSize + 1, fp);
        break;
    }
    fp->PutC(0);
    if (fp->Error())
        SetLastError("Write Error in GIF file");
}

void CxImageGIF::beginCodes(int init_bits, CxFile* outfile) {
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

void CxImageGIF::compressNONE(int init_bits, CxFile* outfile) {
    beginCodes(init_bits, outfile);

    output(m_ClearCode);
    int c;
    while ((c = GifNextPixel()) != -1) {
        output(c);
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

void CxImageGIF::compressLZW(int init_bits, CxFile* outfile) {
    beginCodes(init_bits, outfile);

    // The pixels in GifNextPixel's order, read through locals: the sub-block buffer is written
    // through byte pointers, which would otherwise make the compiler reload the cursor members
    // after every output byte.
    const std::int32_t width = m_head.width;
    std::int32_t rowFromTop = m_head.height - 1 - static_cast<std::int32_t>(m_cury);
    const std::uint8_t* row = m_row;
    std::int32_t x = static_cast<std::int32_t>(m_curx);
    long left = m_CountDown;
    auto nextPixel = [&]() -> long {
        if (left <= 0)
            return -1;
        --left;
        const long r = row[x];
        if (++x == width) {
            x = 0;
            row = left > 0 ? topRow(++rowFromTop) : nullptr;
        }
        return r;
    };
    long ent = nextPixel();
    // Hash shift: 5003 doubles 4 times to reach 65536, so keys spread by c << (8 - 4).
    int hshift = 0;
    for (long fcode = kHashSize; fcode < 65536L; fcode *= 2L)
        ++hshift;
    hshift = 8 - hshift;
    cl_hash(kHashSize);
    output(m_ClearCode);

    long c;
    while ((c = nextPixel()) != -1) {
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
    m_CountDown = 0;
}

void CxImageGIF::output(int code) {
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
        while (m_cur_bits > 0) {
            char_out(static_cast<int>(m_cur_accum & 0xFF));
            m_cur_accum >>= 8;
            m_cur_bits -= 8;
        }
        m_cur_bits = 0;
        flush_char();
        m_outfile->Flush();
        if (m_outfile->Error())
            SetLastError("Write Error in GIF file");
    }
}

void CxImageGIF::cl_hash(long hsize) {
    std::fill(m_htab, m_htab + hsize, -1);
}

void CxImageGIF::char_out(int c) {
    m_accum[m_a_count++] = static_cast<std::uint8_t>(c);
    if (m_a_count >= 254)
        flush_char();
}

void CxImageGIF::flush_char() {
    if (m_a_count > 0) {
        m_outfile->PutC(static_cast<std::uint8_t>(m_a_count));
        m_outfile->Write(m_accum, 1, static_cast<std::size_t>(m_a_count));
        m_a_count = 0;
    }
}

bool CxImageGIF::EncodeRGB(CxFile* fp) {
    if (!EncodeSafeCheck(fp))
        return false;
    EncodeHeader(fp);
    EncodeComment(fp);

    const std::int32_t width = GetWidth();
    const std::int32_t height = GetHeight();
    CxImageGIF tile;
    for (std::int32_t y0 = 0; y0 < height; y0 += kTileHeight) {
        for (std::int32_t x0 = 0; x0 < width; x0 += kTileWidth) {
            const std::int32_t tw = std::min(kTileWidth, width - x0);
            const std::int32_t th = std::min(kTileHeight, height - y0);
            if (tile.GetWidth() != tw || tile.GetHeight() != th)
                tile.Create(tw, th, 8);
            if (IsTransparent()) {
                tile.SetTransIndex(0);
                tile.SetPaletteColor(0, GetTransColor());
            } else {
                tile.SetTransIndex(-1);
            }
            // Source row of tile row r (bottom-based) when the tile starts y0 rows from the top.
            const std::int32_t bottom = height - y0 - th;
            for (std::int32_t r = 0; r < th; ++r) {
                for (std::int32_t x = 0; x < tw; ++x) {
                    const RGBQUAD c = GetPixelColor(x0 + x, bottom + r, true);
                    tile.SetPaletteColor(static_cast<std::uint32_t>((r * kTileWidth + x + 1) % 256),
                                         c);
                    tile.SetPixelIndex(x, r, tile.GetNearestIndex(c));
                }
            }
            tile.SetOffset(x0, y0);
            tile.EncodeExtension(fp);
            tile.EncodeBody(fp, true);
        }
    }
    fp->PutC(';');
    tile.Destroy();
    return true;
}
