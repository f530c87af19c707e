#include "gif/CxImage.h"

#include "gif/CxFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CxImage::CxImage(const CxImage& other) {
    *this = other;
}

CxImage& CxImage::operator=(const CxImage& other) {
    if (this == &other)
        return *this;
    m_head = other.m_head;
    m_info = other.m_info;
    m_rowBytes = other.m_rowBytes;
    m_indexMask = other.m_indexMask;
    m_ghostOf = nullptr;
    std::copy(other.m_palette, other.m_palette + 256, m_ownPalette.begin());
    m_palette = m_ownPalette.data();
    if (other.m_pixels) {
        const std::size_t bytes = m_rowBytes * static_cast<std::size_t>(m_head.height);
        m_ownPixels.assign(other.m_pixels, other.m_pixels + bytes);
        m_pixels = m_ownPixels.data();
    } else {
        m_ownPixels.clear();
        m_pixels = nullptr;
    }
    m_escape.store(other.GetEscape());
    return *this;
}

bool CxImage::Create(std::int32_t width, std::int32_t height, int bpp) {
    Destroy();
    const bool indexed = bpp >= 1 && bpp <= 8;
    if (!indexed && bpp != 24 && bpp != 32) {
        SetLastError("CxImage::Create: unsupported bits per pixel");
        return false;
    }
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPixels) {
        SetLastError("CxImage::Create: bad image size");
        return false;
    }
    m_head.width = width;
    m_head.height = height;
    m_head.bitCount = static_cast<std::uint16_t>(bpp);
    m_head.colorsUsed = indexed ? (1u << bpp) : 0;
    m_indexMask = static_cast<std::uint8_t>(indexed ? (1u << bpp) - 1 : 0xFF);
    m_rowBytes = static_cast<std::size_t>(width) * (indexed ? 1 : 4);
    m_ownPixels.assign(m_rowBytes * static_cast<std::size_t>(height), 0);
    m_pixels = m_ownPixels.data();
    m_ownPalette.fill(RGBQUAD{0, 0, 0, 0});
    m_palette = m_ownPalette.data();
    return true;
}

void CxImage::Destroy() {
    m_ownPixels.clear();
    m_ownPixels.shrink_to_fit();
    m_pixels = nullptr;
    m_palette = m_ownPalette.data();
    m_ghostOf = nullptr;
    m_rowBytes = 0;
    m_head = Header{};
}

void CxImage::Ghost(const CxImage* src) {
    if (!src)
        return;
    Destroy();
    m_head = src->m_head;
    m_info = src->m_info;
    m_rowBytes = src->m_rowBytes;
    m_indexMask = src->m_indexMask;
    // The ghost writes nothing through these pointers; they are non-const only because the
    // same members address the image's own buffers.
    m_pixels = const_cast<std::uint8_t*>(src->m_pixels);
    m_palette = const_cast<RGBQUAD*>(src->m_palette);
    m_ghostOf = src;
}

void CxImage::CopyInfo(const CxImage& other) {
    if (!m_pixels)
        m_info = other.m_info;
}

void CxImage::Transfer(CxImage& other) {
    if (&other == this)
        return;
    Destroy();
    m_head = other.m_head;
    m_info = other.m_info;
    m_rowBytes = other.m_rowBytes;
    m_indexMask = other.m_indexMask;
    if (other.m_ghostOf) {
        m_pixels = other.m_pixels;
        m_palette = other.m_palette;
        m_ghostOf = other.m_ghostOf;
    } else {
        m_ownPixels = std::move(other.m_ownPixels);
        m_pixels = m_ownPixels.empty() ? nullptr : m_ownPixels.data();
        m_ownPalette = other.m_ownPalette;
        m_palette = m_ownPalette.data();
    }
    other.m_ownPixels.clear();
    other.Destroy();
    other.m_info = Info{};
}

void CxImage::SetPalette(const RGBQUAD* colors, std::uint32_t count) {
    if (!colors || !IsIndexed() || IsGhost())
        return;
    std::copy(colors, colors + std::min(count, m_head.colorsUsed), m_palette);
}

void CxImage::SetPaletteColor(std::uint32_t index, RGBQUAD color) {
    if (IsIndexed() && !IsGhost() && index < m_head.colorsUsed)
        m_palette[index] = color;
}

RGBQUAD CxImage::GetPaletteColor(std::uint32_t index) const {
    if (IsIndexed() && index < m_head.colorsUsed)
        return m_palette[index];
    return RGBQUAD{0, 0, 0, 0};
}

std::uint8_t CxImage::GetNearestIndex(RGBQUAD c) const {
    if (!IsIndexed())
        return 0;
    std::uint32_t best = 0;
    long bestDistance = -1;
    for (std::uint32_t i = 0; i < m_head.colorsUsed; ++i) {
        const RGBQUAD& p = m_palette[i];
        const long db = p.rgbBlue - c.rgbBlue, dg = p.rgbGreen - c.rgbGreen;
        const long dr = p.rgbRed - c.rgbRed, da = p.rgbReserved - c.rgbReserved;
        const long distance = db * db + dg * dg + dr * dr + da * da;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

RGBQUAD CxImage::GetPixelColor(std::int32_t x, std::int32_t y, bool withAlpha) const {
    if (!IsValid() || !inside(x, y))
        return RGBQUAD{0, 0, 0, 0};
    if (IsIndexed()) {
        const std::uint8_t index = m_pixels[rowOffset(y) + static_cast<std::size_t>(x)];
        RGBQUAD c = GetPaletteColor(index);
        c.rgbReserved = (withAlpha && index == m_info.transIndex) ? 0 : 255;
        return c;
    }
    const std::uint8_t* p = m_pixels + rowOffset(y) + static_cast<std::size_t>(x) * 4;
    return RGBQUAD{p[0], p[1], p[2], withAlpha ? p[3] : std::uint8_t{255}};
}

void CxImage::SetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, bool withAlpha) {
    if (!IsValid() || IsIndexed() || !inside(x, y))
        return;
    std::uint8_t* p = m_pixels + rowOffset(y) + static_cast<std::size_t>(x) * 4;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = withAlpha ? c.rgbReserved : 255;
}

std::uint8_t* CxImage::topRow(std::int32_t fromTop) {
    if (!IsValid() || fromTop < 0 || fromTop >= m_head.height)
        return nullptr;
    return m_pixels + static_cast<std::size_t>(fromTop) * m_rowBytes;
}

const std::uint8_t* CxImage::topRow(std::int32_t fromTop) const {
    return const_cast<CxImage*>(this)->topRow(fromTop);
}

void CxImage::Clear(std::uint8_t value) {
    if (!IsValid() || IsGhost())
        return;
    if (IsIndexed())
        value &= m_indexMask;
    std::memset(m_pixels, value, m_rowBytes * static_cast<std::size_t>(m_head.height));
}

namespace {

// Bilinear blend of the four true-colour pixels around (fx, fy), in top-based coordinates.
void blendPixel(const CxImage& src, double fx, double fy, std::uint8_t* out) {
    const std::int32_t w = src.GetWidth(), h = src.GetHeight();
    fx = std::clamp(fx, 0.0, static_cast<double>(w - 1));
    fy = std::clamp(fy, 0.0, static_cast<double>(h - 1));
    const std::int32_t x0 = static_cast<std::int32_t>(fx), y0 = static_cast<std::int32_t>(fy);
    const std::int32_t x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const double ax = fx - x0, ay = fy - y0;
    const std::uint8_t* r0 = src.topRow(y0);
    const std::uint8_t* r1 = src.topRow(y1);
    for (int c = 0; c < 4; ++c) {
        const double top = r0[x0 * 4 + c] * (1 - ax) + r0[x1 * 4 + c] * ax;
        const double bottom = r1[x0 * 4 + c] * (1 - ax) + r1[x1 * 4 + c] * ax;
        out[c] = static_cast<std::uint8_t>(std::lround(top * (1 - ay) + bottom * ay));
    }
}

} // namespace

bool CxImage::Resample(std::int32_t newWidth, std::int32_t newHeight, int mode, CxImage* dst) {
    if (!IsValid() || newWidth <= 0 || newHeight <= 0)
        return false;
    CxImage out;
    if (!out.Create(newWidth, newHeight, GetBpp())) {
        SetLastError(out.GetLastError());
        return false;
    }
    out.m_info = m_info;
    if (IsIndexed())
        out.SetPalette(m_palette, m_head.colorsUsed);
    const std::size_t pixelBytes = IsIndexed() ? 1 : 4;
    const double sx = static_cast<double>(m_head.width) / newWidth;
    const double sy = static_cast<double>(m_head.height) / newHeight;
    for (std::int32_t y = 0; y < newHeight; ++y) {
        std::uint8_t* row = out.topRow(y);
        for (std::int32_t x = 0; x < newWidth; ++x) {
            if (mode == 1 || IsIndexed()) {
                // Nearest: the source pixel whose area holds the centre of the new pixel.
                const auto srcX = std::min<std::int32_t>(static_cast<std::int32_t>((x + 0.5) * sx),
                                                         m_head.width - 1);
                const auto srcY = std::min<std::int32_t>(static_cast<std::int32_t>((y + 0.5) * sy),
                                                         m_head.height - 1);
                std::memcpy(row + x * pixelBytes, topRow(srcY) + srcX * pixelBytes, pixelBytes);
            } else {
                blendPixel(*this, (x + 0.5) * sx - 0.5, (y + 0.5) * sy - 0.5, row + x * 4);
            }
        }
    }
    if (dst) {
        dst->Transfer(out);
    } else {
        Transfer(out);
    }
    return true;
}

void CxImage::GetOffset(std::int32_t* x, std::int32_t* y) const {
    if (x)
        *x = m_info.xOffset;
    if (y)
        *y = m_info.yOffset;
}

void CxImage::SetCodecOption(std::uint32_t option, int format) {
    if (format >= 0 && format < kFormatCount)
        m_info.codecOption[static_cast<std::size_t>(format)] = option;
}

std::uint32_t CxImage::GetCodecOption(int format) const {
    if (format >= 0 && format < kFormatCount)
        return m_info.codecOption[static_cast<std::size_t>(format)];
    return 0;
}

void CxImage::SetLastError(const char* text) {
    if (!text) {
        m_info.lastError[0] = '\0';
        return;
    }
    const std::size_t n = std::min<std::size_t>(std::strlen(text), sizeof m_info.lastError - 1);
    std::memmove(m_info.lastError, text, n);
    m_info.lastError[n] = '\0';
}

bool CxImage::EncodeSafeCheck(CxFile* hFile) {
    if (!hFile) {
        SetLastError("no stream to write to");
        return false;
    }
    if (!IsValid()) {
        SetLastError("no image to write");
        return false;
    }
    return true;
}
