// CxImageGIF's decoder: the header, the block walk with its extensions, and the images up to
// the requested one, each decoded (GifLzwDecoder into GifFrameRows) and composed
// (GifFrameCompositor) over the frames before it.
//
// Every count read from the file is checked before use: colour tables are read whole or not
// at all, codes are bounded by the table's next slot, the prefix walk by the stack size, rows
// by the image height, and images are clipped to the logical screen. A malformed file is
// refused or decoded as far as it is sound; data that no LZW reader can decode (a minimum
// code size outside 2..11) is refused rather than shown as a blank frame.
#include "gif/CxImageGIF.h"

#include "gif/CxFile.h"
#include "gif/CxIOFile.h"
#include "gif/GifBlockReader.h"
#include "gif/GifFrameCompositor.h"
#include "gif/GifFrameRows.h"
#include "gif/GifLzwDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

int le16(const std::uint8_t b[2]) {
    return b[0] | (b[1] << 8);
}

GifRect rectOf(const tag_image& image) {
    return GifRect{le16(image.l), le16(image.t), le16(image.w), le16(image.h)};
}

// Every image that is not empty is a frame, wherever it lies.
bool isFrame(const GifRect& r) {
    return r.width > 0 && r.height > 0;
}

// The part of a frame that lies on the logical screen: its top-left corner stays, its size is
// cut at the screen's right and bottom edges (empty when nothing of it is on the screen).
GifRect onScreen(const GifRect& r, int screenW, int screenH) {
    GifRect shown = r;
    shown.width = std::clamp(screenW - r.left, 0, r.width);
    shown.height = std::clamp(screenH - r.top, 0, r.height);
    if (shown.width == 0 || shown.height == 0)
        shown.width = shown.height = 0;
    return shown;
}

} // namespace

bool CxImageGIF::Decode(std::FILE* fp) {
    CxIOFile file(fp);
    return Decode(fp ? &file : nullptr);
}

bool CxImageGIF::Decode(CxFile* fp) {
    return decodeFrames(fp, GetFrame(), nullptr);
}

bool CxImageGIF::DecodeFrames(CxFile* fp, const std::function<bool(CxImage&)>& frame) {
    return decodeFrames(fp, -1, &frame);
}

bool CxImageGIF::decodeFrames(CxFile* fp, int requested,
                              const std::function<bool(CxImage&)>* frame) {
    if (!fp) {
        SetLastError("no stream to read from");
        return false;
    }
    Destroy();
    m_loops = 0;
    m_comment[0] = '\0';
    m_dispmeth = 0;
    m_info.transIndex = -1;
    m_info.transColorSet = false;
    m_info.frameDelay = 0;
    m_info.numFrames = 0;

    // Header and logical screen descriptor: "GIF8?a" width(u16) height(u16) packed(u8)
    // background(u8) aspect(u8); the global colour table follows when packed bit 7 is set.
    tag_dscgif dsc{};
    if (fp->Read(&dsc, sizeof dsc, 1) != 1 || std::strncmp(dsc.header, "GIF8", 4) != 0) {
        SetLastError("not a GIF file");
        return false;
    }
    const int screenW = le16(dsc.scrwidth);
    const int screenH = le16(dsc.scrheight);
    if (GetEscape() == -1) {
        m_head.width = screenW;
        m_head.height = screenH;
        return true;
    }
    std::unique_ptr<GifLzwDecoder> lzw(new (std::nothrow) GifLzwDecoder);
    if (!lzw) {
        SetLastError("out of memory");
        return false;
    }
    tag_TabCol global;
    bool trueColor = true;
    if (dsc.pflds & 0x80) {
        if (!GifBlockReader::readColorTable(fp, dsc.pflds, &global)) {
            SetLastError("truncated global colour table");
            return false;
        }
        trueColor = false;
    }
    const int frames = get_num_frames(fp, &global, &dsc);
    m_info.numFrames = frames;
    if (frame && frames > 0)
        requested = frames - 1;
    if (requested < 0 || requested >= frames) {
        SetLastError(frames == 0 ? "no image in GIF file" : "frame not found");
        return false;
    }
    if (frames == 1)
        trueColor = false;
    if (static_cast<std::int64_t>(screenW) * screenH > kMaxPixels) {
        SetLastError("GIF screen too large");
        return false;
    }

    GifFrameRows rows;
    GifFrameCompositor compositor(screenW, screenH, dsc.bcindx, frames > 1);
    GifBlockReader blocks(fp);
    int framesSeen = 0;
    bool reached = false;
    while (!reached) {
        if (GetEscape() > 0) {
            SetLastError("decoding cancelled");
            return false;
        }
        const GifBlockReader::Block block = blocks.next();
        if (block == GifBlockReader::Block::Extension) {
            DecodeExtension(fp);
            continue;
        }
        if (block != GifBlockReader::Block::Image)
            break;
        const tag_TabCol& table = blocks.hasLocalTable() ? blocks.localTable() : global;
        const ImageResult result = decodeImage(fp, blocks.image(), table, *lzw, rows, compositor);
        if (result == ImageResult::Failed)
            return false;
        if (result == ImageResult::Stop)
            break;
        const bool decoded = result == ImageResult::Decoded;
        if (decoded && frame) {
            CxImage picture;
            if (!composedPicture(compositor, trueColor, picture))
                return false;
            if (!(*frame)(picture))
                return true;
        }
        const bool isRequested = decoded && framesSeen++ == requested;
        if (isRequested) {
            reached = true;
        } else {
            // A graphic control extension applies to the one image that follows it.
            m_info.transIndex = -1;
            m_info.frameDelay = 0;
            m_dispmeth = 0;
        }
    }
    if (!reached) {
        SetLastError("frame not found");
        return false;
    }
    if (frame)
        return true;
    CxImage result;
    if (!composedPicture(compositor, trueColor, result))
        return false;
    const Info keep = m_info;
    const int transIndex = result.GetTransIndex();
    const bool transColorSet = result.IsTransparent() && transIndex < 0;
    const RGBQUAD transColor = result.GetTransColor();
    Transfer(result);
    m_info = keep;
    m_info.transIndex = transIndex;
    if (transColorSet)
        SetTransColor(transColor);
    m_info.xOffset = m_info.yOffset = 0;
    return true;
}

CxImageGIF::ImageResult CxImageGIF::decodeImage(CxFile* fp, const tag_image& image,
                                                const tag_TabCol& table, GifLzwDecoder& lzw,
                                                GifFrameRows& rows,
                                                GifFrameCompositor& compositor) {
    const GifRect rect = rectOf(image);
    if (!isFrame(rect)) {
        if (fp->GetC() < 0) // minimum code size
            return ImageResult::Stop;
        GifBlockReader::skipSubBlocks(fp);
        return ImageResult::Skipped;
    }
    // A frame that passes the screen's right or bottom edge is clipped there: its data is
    // decoded whole, only the pixels on the screen are kept and painted.
    const GifRect shown = onScreen(rect, compositor.screenWidth(), compositor.screenHeight());
    if (!rows.begin(rect.width, rect.height, shown.width, shown.height, (image.pf & 0x40) != 0)) {
        SetLastError(rows.lastError());
        return ImageResult::Failed;
    }
    int badCodes = 0;
    const int decoded = lzw.decoder(fp, rows, badCodes);
    if (decoded == GifLzwDecoder::kBadCodeSize) {
        // No LZW data can be read with this code size: the frame would be blank.
        SetLastError("bad LZW minimum code size");
        return ImageResult::Failed;
    }
    lzw.finish(fp);
    compositor.compose(shown, rows, table, m_info.transIndex, m_dispmeth);
    return ImageResult::Decoded;
}

bool CxImageGIF::composedPicture(GifFrameCompositor& compositor, bool trueColor, CxImage& out) {
    bool indexed = false;
    if (!compositor.result(out, trueColor, indexed)) {
        SetLastError(out.GetLastError());
        return false;
    }
    const tag_TabCol& table = compositor.table();
    const int transIndex = compositor.transIndex();
    out.SetTransIndex(indexed ? transIndex : -1);
    if (!indexed && transIndex >= 0) {
        RGBQUAD t{0, 0, 0, 0};
        if (transIndex < table.sogct)
            t = RGBQUAD{table.paleta[transIndex][2], table.paleta[transIndex][1],
                        table.paleta[transIndex][0], 0};
        out.SetTransColor(t);
    }
    return true;
}

bool CxImageGIF::DecodeExtension(CxFile* fp) {
    const int label = fp->GetC();
    if (label < 0)
        return false;
    if (label == 0xF9) {
        // Graphic control: size(u8, 4) packed delay(u16) transparent index, terminator.
        const int size = fp->GetC();
        if (size <= 0)
            return size == 0; // 0: the terminator itself
        std::uint8_t block[255];
        if (fp->Read(block, 1, static_cast<std::size_t>(size)) != static_cast<std::size_t>(size))
            return false;
        if (size >= 4) {
            std::memcpy(&m_gifgce, block, sizeof m_gifgce);
            m_info.transIndex = (m_gifgce.flags & 1) ? m_gifgce.transpcolindex : -1;
            m_info.frameDelay = static_cast<std::uint32_t>(le16(m_gifgce.delay));
            m_dispmeth = (m_gifgce.flags >> 2) & 7;
        }
    } else if (label == 0xFE) {
        // Comment: the first sub-block is the comment.
        const int n = fp->GetC();
        if (n <= 0)
            return n == 0;
        const std::size_t got = fp->Read(m_comment, 1, static_cast<std::size_t>(n));
        m_comment[got] = '\0';
        if (got != static_cast<std::size_t>(n))
            return false;
    } else if (label == 0xFF) {
        // Application: size(u8, 11) identifier(8) authentication(3), then sub-blocks. The
        // loop count lives in sub-block id 1 of "NETSCAPE2.0" (or "ANIMEXTS1.0"); other
        // applications (XMP, ICC profiles) carry data that must not be read as a loop count.
        const int size = fp->GetC();
        if (size < 0)
            return false;
        if (size == 11) {
            char ident[11];
            if (fp->Read(ident, 1, 11) != 11)
                return false;
            const int n = fp->GetC();
            if (n < 0)
                return false;
            std::uint8_t data[255];
            const std::size_t got = fp->Read(data, 1, static_cast<std::size_t>(n));
            const bool looping = std::memcmp(ident, "NETSCAPE2.0", 11) == 0 ||
                                 std::memcmp(ident, "ANIMEXTS1.0", 11) == 0;
            if (looping && got > 2 && data[0] == 1)
                m_loops = data[1] + 256 * data[2];
            if (got != static_cast<std::size_t>(n) || n == 0)
                return n == 0;
        } else if (size > 0) {
            if (!fp->Seek(size, SEEK_CUR))
                return false;
        } else {
            return true;
        }
    }
    GifBlockReader::skipSubBlocks(fp);
    return true;
}

int CxImageGIF::get_num_frames(CxFile* fp, tag_TabCol* /*colTable*/, tag_dscgif* dscgif) {
    if (!fp || !dscgif)
        return 0;
    const std::int64_t start = fp->Tell();
    int frames = 0;
    GifBlockReader blocks(fp);
    for (GifBlockReader::Block block = blocks.next();
         block == GifBlockReader::Block::Extension || block == GifBlockReader::Block::Image;
         block = blocks.next()) {
        if (block == GifBlockReader::Block::Extension) {
            if (!blocks.skipExtension())
                break;
            continue;
        }
        if (isFrame(rectOf(blocks.image())))
            ++frames;
        if (!blocks.skipImageData())
            break;
    }
    fp->Seek(start, SEEK_SET);
    return frames;
}

std::int64_t CxImageGIF::seek_next_image(CxFile* fp, std::int64_t position) {
    if (!fp || !fp->Seek(position, SEEK_SET))
        return -1;
    int previous = -1;
    int c;
    while ((c = fp->GetC()) >= 0) {
        if (c == ',' && previous == 0) {
            fp->Seek(-1, SEEK_CUR);
            return fp->Tell();
        }
        previous = c;
    }
    return -1;
}
