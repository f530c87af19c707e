#include "gif/CxImageGIF.h"

#include "gif/CxFile.h"
#include "gif/CxIOFile.h"
#include "gif/GifLzwCompressor.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// 17 x 15 pixels: one tile of a true-colour image, 255 colours plus entry 0 for transparency.
constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;

} // namespace

CxImageGIF::CxImageGIF() = default;

CxImageGIF::~CxImageGIF() = default;

CxImageGIF::CxImageGIF(const CxImageGIF& other) : CxImage(other) {
    m_loops = other.m_loops;
    m_dispmeth = other.m_dispmeth;
    std::memcpy(m_comment, other.m_comment, sizeof m_comment);
    m_gifgce = other.m_gifgce;
}

CxImageGIF& CxImageGIF::operator=(const CxImageGIF& other) {
    if (this == &other)
        return *this;
    CxImage::operator=(other);
    m_loops = other.m_loops;
    m_dispmeth = other.m_dispmeth;
    std::memcpy(m_comment, other.m_comment, sizeof m_comment);
    m_gifgce = other.m_gifgce;
    // The pixel cursor pointed into the picture this object held before.
    m_curx = m_cury = m_CountDown = 0;
    m_row = nullptr;
    return *this;
}

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
    const std::uint32_t compressor = GetCodecOption(kFormatGif);
    if (compressor == 2) {
        compressRLE(initCodeSize + 1, fp);
    } else {
        if (!m_lzw)
            m_lzw.reset(new (std::nothrow) GifLzwCompressor);
        if (!m_lzw) {
            SetLastError("out of memory");
            return;
        }
        if (compressor == 1)
            m_lzw->compressNONE(*this, initCodeSize + 1, fp);
        else
            m_lzw->compressLZW(*this, initCodeSize + 1, fp);
        m_CountDown = 0; // every pixel has been written
    }
    fp->PutC(0);
    if (fp->Error())
        SetLastError("Write Error in GIF file");
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
