#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

class CxFile;

// One palette entry or true-colour pixel, in memory order blue, green, red, reserved (alpha).
struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
    friend bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};
static_assert(sizeof(RGBQUAD) == 4);

// CxImage: the small picture the GIF codec reads and writes. A palette image has 1..8 bits per
// pixel, exactly 2^bpp palette entries and one byte per pixel index (masked to bpp bits); a
// true-colour image (24 or 32 bits per pixel) keeps blue, green, red, alpha per pixel and no
// palette. Rows are addressed from the bottom (y = 0 is the bottom row), as the codec expects.
// A ghost (Ghost) points at another image's buffers without owning them.
class CxImage {
public:
    // Codec-option slot of the GIF format (1 = uncompressed, 2 = run-length, else LZW).
    static constexpr int kFormatGif = 2;
    static constexpr int kFormatCount = 8;
    // Largest picture we allocate (pixels): 16384 x 16384, 1 GiB at 4 bytes a pixel, above any
    // camera's picture; a bigger request fails instead of exhausting memory.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

    // Image header: size, depth and palette size (0 for true colour).
    struct Header {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint16_t bitCount = 0;
        std::uint32_t colorsUsed = 0;
    };

    // Image information block: what codecs read and write beside the pixels.
    struct Info {
        std::int32_t xOffset = 0;
        std::int32_t yOffset = 0;
        std::uint32_t frameDelay = 0; // hundredths of a second
        std::int32_t transIndex = -1; // -1: no transparent palette index
        RGBQUAD transColor{0, 0, 0, 0};
        bool transColorSet = false; // true-colour transparency
        std::array<std::uint32_t, kFormatCount> codecOption{};
        std::int32_t frameRequested = 0;
        std::int32_t numFrames = 0;
        std::uint32_t imageType = 0; // picture format code of the decoded file (0 = unknown)
        char lastError[256] = {};
    };

    CxImage() = default;
    CxImage(const CxImage& other);
    CxImage& operator=(const CxImage& other);
    virtual ~CxImage() = default;

    // Allocates a cleared picture; false (with the last-error text) for a bad size or depth.
    bool Create(std::int32_t width, std::int32_t height, int bpp);
    void Destroy();
    bool IsValid() const { return m_pixels != nullptr; }
    bool IsGhost() const { return m_ghostOf != nullptr; }
    // Makes this image stand for src: header and info are copied, buffers are shared.
    void Ghost(const CxImage* src);
    // Copies the other image's information block when this image holds no pixels.
    void CopyInfo(const CxImage& other);
    // Moves other's picture and information into this image; other is left empty.
    void Transfer(CxImage& other);

    std::int32_t GetWidth() const { return m_head.width; }
    std::int32_t GetHeight() const { return m_head.height; }
    int GetBpp() const { return m_head.bitCount; }
    std::uint32_t GetNumColors() const { return m_head.colorsUsed; }
    bool IsIndexed() const { return m_head.colorsUsed != 0; }
    const Header& header() const { return m_head; }
    const Info& info() const { return m_info; }

    const RGBQUAD* GetPalette() const { return IsIndexed() ? m_palette : nullptr; }
    // Copies up to GetNumColors() entries; entries past count keep their value.
    void SetPalette(const RGBQUAD* colors, std::uint32_t count);
    void SetPaletteColor(std::uint32_t index, RGBQUAD color);
    RGBQUAD GetPaletteColor(std::uint32_t index) const;
    // First palette entry nearest to the colour (squared distance over red, green, blue, alpha).
    std::uint8_t GetNearestIndex(RGBQUAD color) const;

    // Pixel access by column and bottom-based row; out-of-range reads give 0 / black and
    // out-of-range writes are ignored.
    std::uint8_t GetPixelIndex(std::int32_t x, std::int32_t y) const {
        if (!IsIndexed() || !inside(x, y))
            return 0;
        return m_pixels[rowOffset(y) + static_cast<std::size_t>(x)];
    }
    void SetPixelIndex(std::int32_t x, std::int32_t y, std::uint8_t index) {
        if (IsIndexed() && inside(x, y))
            m_pixels[rowOffset(y) + static_cast<std::size_t>(x)] = index & m_indexMask;
    }
    // Palette images: the entry's colour (alpha 0 for the transparent index when withAlpha).
    RGBQUAD GetPixelColor(std::int32_t x, std::int32_t y, bool withAlpha = true) const;
    // True-colour images only: stores blue, green, red and alpha (255 when !withAlpha).
    void SetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD color, bool withAlpha = true);
    // Top row first: the bytes of the row y rows below the top (one index or four bytes each).
    std::uint8_t* topRow(std::int32_t fromTop);
    const std::uint8_t* topRow(std::int32_t fromTop) const;
    // Every pixel index (palette) or every byte (true colour) set to value.
    void Clear(std::uint8_t value = 0);

    void SetOffset(std::int32_t x, std::int32_t y) {
        m_info.xOffset = x;
        m_info.yOffset = y;
    }
    void GetOffset(std::int32_t* x, std::int32_t* y) const;
    void SetFrameDelay(std::uint32_t hundredths) { m_info.frameDelay = hundredths; }
    std::uint32_t GetFrameDelay() const { return m_info.frameDelay; }
    void SetTransIndex(std::int32_t index) { m_info.transIndex = index; }
    std::int32_t GetTransIndex() const { return m_info.transIndex; }
    void SetTransColor(RGBQUAD color) {
        m_info.transColor = color;
        m_info.transColorSet = true;
    }
    RGBQUAD GetTransColor() const { return m_info.transColor; }
    bool IsTransparent() const { return m_info.transIndex >= 0 || m_info.transColorSet; }
    void SetCodecOption(std::uint32_t option, int format = kFormatGif);
    std::uint32_t GetCodecOption(int format = kFormatGif) const;
    void SetFrame(std::int32_t frame) { m_info.frameRequested = frame; }
    std::int32_t GetFrame() const { return m_info.frameRequested; }
    std::int32_t GetNumFrames() const { return m_info.numFrames; }
    // Escape: -1 asks a decoder for the size only; a positive value cancels a running decode
    // (it may be set from another thread).
    void SetEscape(std::int32_t escape) { m_escape.store(escape, std::memory_order_relaxed); }
    std::int32_t GetEscape() const { return m_escape.load(std::memory_order_relaxed); }
    // Picture format code of the file this picture was decoded from (1 BMP, 2 GIF, 3 JPEG...).
    std::uint32_t GetType() const { return m_info.imageType; }
    void SetType(std::uint32_t type) { m_info.imageType = type; }
    // Scales to newWidth x newHeight. Mode 1 (and every palette image) takes the nearest
    // source pixel; other modes interpolate true-colour pixels bilinearly. The result goes to
    // dst when given, else replaces this picture. False for a bad size or no picture.
    bool Resample(std::int32_t newWidth, std::int32_t newHeight, int mode = 1,
                  CxImage* dst = nullptr);
    const char* GetLastError() const { return m_info.lastError; }
    // Keeps at most 255 characters; null clears the text.
    void SetLastError(const char* text);

protected:
    // False (and the last-error text) when there is no stream or no picture to write.
    bool EncodeSafeCheck(CxFile* hFile);

    Header m_head;
    Info m_info;

private:
    bool inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < m_head.width && y < m_head.height;
    }
    std::size_t rowOffset(std::int32_t yFromBottom) const {
        return static_cast<std::size_t>(m_head.height - 1 - yFromBottom) * m_rowBytes;
    }

    std::vector<std::uint8_t> m_ownPixels; // rows top to bottom
    std::array<RGBQUAD, 256> m_ownPalette{};
    std::uint8_t* m_pixels = nullptr; // m_ownPixels or the ghost source's
    RGBQUAD* m_palette = m_ownPalette.data();
    std::size_t m_rowBytes = 0;
    std::uint8_t m_indexMask = 0xFF;
    const CxImage* m_ghostOf = nullptr;
    std::atomic<std::int32_t> m_escape{0};
};
