#pragma once

#include "gif/CxImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

class CxFile;

// Header and logical screen descriptor as stored: "GIF8?a", width(u16) height(u16) packed(u8)
// background(u8) aspect(u8). Packed: bit 7 global table, bits 4-6 colour resolution, 0-2 size.
struct tag_dscgif {
    char header[6];
    std::uint8_t scrwidth[2];
    std::uint8_t scrheight[2];
    std::uint8_t pflds;
    std::uint8_t bcindx;
    std::uint8_t pxasrat;
};
static_assert(sizeof(tag_dscgif) == 13);
static_assert(offsetof(tag_dscgif, pflds) == 10);

// Image descriptor after the 0x2C introducer: left top width height (u16 each) packed(u8).
// Packed: bit 7 local table, bit 6 interlaced, bits 0-2 table size.
struct tag_image {
    std::uint8_t l[2];
    std::uint8_t t[2];
    std::uint8_t w[2];
    std::uint8_t h[2];
    std::uint8_t pf;
};
static_assert(sizeof(tag_image) == 9);
static_assert(offsetof(tag_image, pf) == 8);

// A colour table as read: entry count, colour resolution and up to 256 red, green, blue triples.
struct tag_TabCol {
    std::uint16_t colres = 0;
    std::uint16_t sogct = 0;
    std::uint8_t paleta[256][3] = {};
};

// Graphic control block as stored: packed(u8) delay(u16, hundredths) transparent index(u8).
// Packed: bits 2-4 disposal method, bit 0 transparent index valid.
struct struct_gifgce {
    std::uint8_t flags;
    std::uint8_t delay[2];
    std::uint8_t transpcolindex;
};
static_assert(sizeof(struct_gifgce) == 4);
static_assert(offsetof(struct_gifgce, transpcolindex) == 3);

class GifFrameCompositor;
class GifFrameRows;
class GifLzwCompressor;
class GifLzwDecoder;
struct GifRle;

// CxImageGIF: GIF89a writer and GIF87a/89a reader over a CxImage. The writer turns palette
// images into image bodies (LZW, uncompressed or run-length codes) and whole files; the reader
// decodes one requested frame composed over the frames before it. One object can write any
// number of bodies: every body resets the pixel cursor and the compressor state.
//
// The encoder lives in CxImageGIF.cpp, the run-length compressor in CxImageGIFRle.cpp and the
// decoder's block walk and extensions in CxImageGIFDecode.cpp. The steps with state of their
// own are classes of their own: GifLzwCompressor (LZW and uncompressed codes), GifBlockReader,
// GifLzwDecoder, GifFrameRows and GifFrameCompositor; their tables are not part of this
// object, so this header stays small and stable for programs built against it.
class CxImageGIF : public CxImage {
public:
    CxImageGIF();
    ~CxImageGIF() override;
    // A copy takes the picture, loop count, disposal method and comment; compressor state is
    // per body and not copied.
    CxImageGIF(const CxImageGIF& other);
    CxImageGIF& operator=(const CxImageGIF& other);

    // Decoding -----------------------------------------------------------------------------
    // Decodes the frame in the requested-frame field (0 = first); false with the last-error
    // text when the stream is not a GIF, the frame does not exist, it or a frame before it
    // has LZW data that cannot be decoded, or decoding was cancelled. Frames that pass the
    // logical screen are clipped to it.
    bool Decode(CxFile* fp);
    bool Decode(std::FILE* fp);
    // Decodes every frame in one walk of the file and hands `frame` the picture as it shows
    // after each one (screen size, palette or 32-bit colour, valid during the call), in order.
    // Stops when `frame` returns false. False, with the last-error text, as Decode fails; the
    // frames before a failing one have been handed out.
    bool DecodeFrames(CxFile* fp, const std::function<bool(CxImage& picture)>& frame);
    // Reads one extension after its 0x21 introducer (graphic control, comment, loop count).
    bool DecodeExtension(CxFile* fp);
    // Counts the frames (every image that is not empty); the stream position is restored.
    int get_num_frames(CxFile* fp, tag_TabCol* colTable, tag_dscgif* dscgif);
    // From position, the offset of the next 0x2C that follows a 0 byte, or -1 when none.
    std::int64_t seek_next_image(CxFile* fp, std::int64_t position);

    // Encoding -----------------------------------------------------------------------------
    bool Encode(CxFile* fp);
    bool Encode(std::FILE* fp);
    bool Encode(CxFile* fp, CxImage** pImages, int pagecount, bool bLocalColorMap = false);
    bool Encode(std::FILE* fp, CxImage** pImages, int pagecount, bool bLocalColorMap = false);
    bool EncodeRGB(CxFile* fp);
    void EncodeHeader(CxFile* fp);
    void EncodeLoopExtension(CxFile* fp);
    void EncodeExtension(CxFile* fp);
    void EncodeComment(CxFile* fp);
    void EncodeBody(CxFile* fp, bool bLocalColorMap = false);

    void SetLoops(int loops) { m_loops = loops; }
    int GetLoops() const { return m_loops; }
    void SetDisposalMethod(int dm) { m_dispmeth = dm; }
    int GetDisposalMethod() const { return m_dispmeth; }
    // At most 255 characters in or out; null is ignored; sz_comment of GetComment holds 256.
    void SetComment(const char* sz_comment_in);
    void GetComment(char* sz_comment) const;
    const char* comment() const { return m_comment; }

    // Next pixel index in file order (top row first, left to right), or -1 at the end.
    // Inline: the compressors call it once per pixel.
    int GifNextPixel() {
        if (m_CountDown <= 0)
            return -1;
        --m_CountDown;
        // m_row is the row at m_cury (bottom-based), read left to right.
        const int r = m_row[m_curx];
        if (++m_curx == m_head.width) {
            m_curx = 0;
            --m_cury;
            m_row = m_CountDown > 0 ? topRow(m_head.height - 1 - static_cast<std::int32_t>(m_cury))
                                    : nullptr;
        }
        return r;
    }
    // 16-bit little-endian.
    static void Putword(int w, CxFile* fp);

private:
    void compressRLE(int init_bits, CxFile* outfile);

    // Run-length compressor steps (state in GifRle, alive for one compressRLE call).
    void rle_clear(GifRle* rle);
    void rle_flush(GifRle* rle);
    void rle_flush_withtable(int count, GifRle* rle);
    void rle_flush_clearorrep(int count, GifRle* rle);
    void rle_flush_fromclear(int count, GifRle* rle);
    void rle_reset_out_clear(GifRle* rle);
    unsigned int rle_compute_triangle_count(unsigned int count, unsigned int nrepcodes);
    unsigned int rle_isqrt(unsigned int x);
    void rle_write_block(GifRle* rle);
    void rle_block_out(unsigned char c, GifRle* rle);
    void rle_output_flush(GifRle* rle);
    void rle_output(int val, GifRle* rle);
    void rle_output_plain(int c, GifRle* rle);

    // Decoder steps (the per-call state lives in the GifLzwDecoder, GifFrameRows and
    // GifFrameCompositor that Decode makes).
    // Decoded: a frame was composed; Skipped: an empty image, no frame; Stop: the data ended;
    // Failed: the frame cannot be decoded (the last-error text says why).
    enum class ImageResult { Decoded, Skipped, Stop, Failed };
    ImageResult decodeImage(CxFile* fp, const tag_image& image, const tag_TabCol& table,
                            GifLzwDecoder& lzw, GifFrameRows& rows, GifFrameCompositor& compositor);
    // The walk behind Decode and DecodeFrames: decodes frames up to `requested`, or all of
    // them when `frame` is set.
    bool decodeFrames(CxFile* fp, int requested, const std::function<bool(CxImage&)>* frame);
    // The composed picture after the last decoded frame, with its transparency.
    bool composedPicture(GifFrameCompositor& compositor, bool trueColor, CxImage& out);

    int m_loops = 0;
    int m_dispmeth = 0;
    char m_comment[256] = {};
    struct_gifgce m_gifgce{};

    // Pixel cursor of GifNextPixel: column, bottom-based row, pixels left.
    long m_curx = 0;
    long m_cury = 0;
    long m_CountDown = 0;
    const std::uint8_t* m_row = nullptr;

    // LZW and uncompressed compressor: hash and code tables (about 30 KB), made by the first
    // body this object writes.
    std::unique_ptr<GifLzwCompressor> m_lzw;
};
