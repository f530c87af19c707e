// CxImageGIF's decoder: block loop, extensions, LZW decoding of one image's data, interlaced
// row order and composition of the requested frame over the frames before it.
//
// Every count read from the file is checked before use: colour tables are read whole or not
// at all, codes are bounded by the table's next slot, the prefix walk by the stack size, rows
// by the image height, and images by the logical screen. A malformed file is refused or
// decoded as far as it is sound. (Kept in one file: the block loop, the LZW decoder and the
// composition share the per-call GifDecodeState.)
#include "gif/CxImageGIF.h"

#include "gif/CxFile.h"
#include "gif/CxIOFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kReadBufferSize = 16383;
constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;

int le16(const std::uint8_t b[2]) {
    return b[0] | (b[1] << 8);
}

// A screen rectangle in pixels.
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

} // namespace

struct GifDecodeState;
static void copyArea(GifDecodeState& st, const Rect& r, bool save);

// Everything one Decode call needs; allocated per call so that decoding keeps no state.
struct GifDecodeState {
    // Buffered reading (get_byte).
    std::uint8_t buf[kReadBufferSize];
    int pos = 0;
    int fill = 0;

    // LZW tables and code reader (get_next_code).
    std::uint8_t stack[kMaxCodes + 2];
    std::uint8_t suffix[kMaxCodes];
    std::uint16_t prefix[kMaxCodes];
    int curr_size = 0, top_slot = 0, clear = 0, ending = 0, newcodes = 0, slot = 0;
    std::uint8_t byte_buff[256];
    int pbytes = 0;
    int navail_bytes = 0;
    std::uint32_t acc = 0;       // bits read but not yet used, least significant first
    int nbits_left = 0;          // bits held in acc
    bool terminatorRead = false; // the 0-length sub-block that ends the image data was read

    // Rows of the frame being decoded (out_line).
    CxImage frame;              // 8 bits per pixel: raw indices as decoded
    std::vector<int> rowFilled; // pixels decoded in each row, from the left
    int row = 0;
    bool rowsDone = false;
    bool interlaced = false;
    int iypos = 0, istep = 8, iheight = 0, ipass = 0;

    // Composition.
    int screenW = 0, screenH = 0;
    int background = 0;
    bool havePage = false;
    bool needCanvas = false;        // several frames: earlier tables may differ from the last one
    std::vector<std::uint8_t> page; // palette indices, rows top to bottom
    std::vector<RGBQUAD> canvas;    // what the page shows, alpha 0 where transparent
    std::vector<std::uint8_t> savedPage; // under the frame shown with disposal 3
    std::vector<RGBQUAD> savedCanvas;
    bool haveSaved = false;
    int prevDisposal = 0;
    Rect prevRect;
    int framesSeen = 0;

    // The last composed frame: its table and transparency make the result's palette.
    tag_TabCol table;
    int transIndex = -1;
    Rect frameRect;
};

// Saves the page and canvas under r (save) or puts the saved pixels back (restore); only the
// area a frame paints can change while it is shown, so only that area is kept.
static void copyArea(GifDecodeState& st, const Rect& r, bool save) {
    const std::size_t area = static_cast<std::size_t>(r.width) * r.height;
    if (save) {
        st.savedPage.resize(area);
        st.savedCanvas.resize(area);
    } else if (st.savedPage.size() != area) {
        return;
    }
    for (int y = 0; y < r.height; ++y) {
        const std::size_t at = static_cast<std::size_t>(r.top + y) * st.screenW + r.left;
        const std::size_t from = static_cast<std::size_t>(y) * r.width;
        if (save) {
            std::copy_n(st.page.begin() + static_cast<std::ptrdiff_t>(at), r.width,
                        st.savedPage.begin() + static_cast<std::ptrdiff_t>(from));
            if (st.needCanvas)
                std::copy_n(st.canvas.begin() + static_cast<std::ptrdiff_t>(at), r.width,
                            st.savedCanvas.begin() + static_cast<std::ptrdiff_t>(from));
        } else {
            std::copy_n(st.savedPage.begin() + static_cast<std::ptrdiff_t>(from), r.width,
                        st.page.begin() + static_cast<std::ptrdiff_t>(at));
            if (st.needCanvas)
                std::copy_n(st.savedCanvas.begin() + static_cast<std::ptrdiff_t>(from), r.width,
                            st.canvas.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }
}

bool CxImageGIF::Decode(std::FILE* fp) {
    CxIOFile file(fp);
    return Decode(fp ? &file : nullptr);
}

bool CxImageGIF::readColorTable(CxFile* fp, std::uint8_t flags, tag_TabCol* table) {
    const int count = 1 << ((flags & 7) + 1);
    table->sogct = static_cast<std::uint16_t>(count);
    table->colres = static_cast<std::uint16_t>(((flags & 0x70) >> 3) + 1);
    return fp->Read(table->paleta, 3, static_cast<std::size_t>(count)) ==
           static_cast<std::size_t>(count);
}

void CxImageGIF::skipSubBlocks(CxFile* fp) {
    int n;
    while ((n = fp->GetC()) > 0) {
        if (!fp->Seek(n, SEEK_CUR)) return;
    }
}

bool CxImageGIF::Decode(CxFile* fp) {
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
    auto st = std::unique_ptr<GifDecodeState>(new (std::nothrow) GifDecodeState);
    if (!st) {
        SetLastError("out of memory");
        return false;
    }
    tag_TabCol global;
    bool trueColor = true;
    if (dsc.pflds & 0x80) {
        if (!readColorTable(fp, dsc.pflds, &global)) {
            SetLastError("truncated global colour table");
            return false;
        }
        trueColor = false;
    }
    const int frames = get_num_frames(fp, &global, &dsc);
    m_info.numFrames = frames;
    const int requested = GetFrame();
    if (requested < 0 || requested >= frames) {
        SetLastError(frames == 0 ? "no image in GIF file" : "frame not found");
        return false;
    }
    if (frames == 1) trueColor = false;
    if (static_cast<std::int64_t>(screenW) * screenH > kMaxPixels) {
        SetLastError("GIF screen too large");
        return false;
    }
    st->screenW = screenW;
    st->screenH = screenH;
    st->background = dsc.bcindx;

    bool reached = false;
    bool previousWasZero = true; // a block introducer is only taken after a 0 byte
    while (!reached) {
        if (GetEscape() > 0) {
            SetLastError("decoding cancelled");
            return false;
        }
        const int c = fp->GetC();
        if (c < 0 || (previousWasZero && c == ';')) break;
        if (!previousWasZero) {
            previousWasZero = c == 0;
            continue;
        }
        if (c == '!') {
            DecodeExtension(fp);
        } else if (c == ',') {
            if (!decodeImage(fp, *st, dsc, global, reached)) break;
        } else {
            previousWasZero = c == 0;
        }
    }
    if (!reached) {
        SetLastError("frame not found");
        return false;
    }
    return finishDecode(*st, trueColor);
}

bool CxImageGIF::DecodeExtension(CxFile* fp) {
    const int label = fp->GetC();
    if (label < 0) return false;
    if (label == 0xF9) {
        // Graphic control: size(u8, 4) packed delay(u16) transparent index, terminator.
        const int size = fp->GetC();
        if (size <= 0) return size == 0; // 0: the terminator itself
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
        if (n <= 0) return n == 0;
        const std::size_t got = fp->Read(m_comment, 1, static_cast<std::size_t>(n));
        m_comment[got] = '\0';
        if (got != static_cast<std::size_t>(n)) return false;
    } else if (label == 0xFF) {
        // Application: size(u8, 11) identifier(8) authentication(3), then sub-blocks. The
        // loop count lives in sub-block id 1 of "NETSCAPE2.0" (or "ANIMEXTS1.0"); other
        // applications (XMP, ICC profiles) carry data that must not be read as a loop count.
        const int size = fp->GetC();
        if (size < 0) return false;
        if (size == 11) {
            char ident[11];
            if (fp->Read(ident, 1, 11) != 11) return false;
            const int n = fp->GetC();
            if (n < 0) return false;
            std::uint8_t data[255];
            const std::size_t got = fp->Read(data, 1, static_cast<std::size_t>(n));
            const bool looping = std::memcmp(ident, "NETSCAPE2.0", 11) == 0 ||
                                 std::memcmp(ident, "ANIMEXTS1.0", 11) == 0;
            if (looping && got > 2 && data[0] == 1) m_loops = data[1] + 256 * data[2];
            if (got != static_cast<std::size_t>(n) || n == 0) return n == 0;
        } else if (size > 0) {
            if (!fp->Seek(size, SEEK_CUR)) return false;
        } else {
            return true;
        }
    }
    skipSubBlocks(fp);
    return true;
}

int CxImageGIF::get_num_frames(CxFile* fp, tag_TabCol* /*colTable*/, tag_dscgif* dscgif) {
    if (!fp || !dscgif) return 0;
    const std::int64_t start = fp->Tell();
    const int screenW = le16(dscgif->scrwidth);
    const int screenH = le16(dscgif->scrheight);
    int frames = 0;
    bool previousWasZero = true;
    while (true) {
        const int c = fp->GetC();
        if (c < 0 || (previousWasZero && c == ';')) break;
        if (!previousWasZero) {
            previousWasZero = c == 0;
            continue;
        }
        if (c == '!') {
            if (fp->GetC() < 0) break;
            skipSubBlocks(fp);
        } else if (c == ',') {
            tag_image image;
            if (fp->Read(&image, sizeof image, 1) != 1) break;
            tag_TabCol local;
            if ((image.pf & 0x80) && !readColorTable(fp, image.pf, &local)) break;
            const int l = le16(image.l), t = le16(image.t), w = le16(image.w), h = le16(image.h);
            if (w > 0 && h > 0 && l + w <= screenW && t + h <= screenH) ++frames;
            if (fp->GetC() < 0) // minimum code size
                break;
            skipSubBlocks(fp);
        } else {
            previousWasZero = c == 0;
        }
    }
    fp->Seek(start, SEEK_SET);
    return frames;
}

std::int64_t CxImageGIF::seek_next_image(CxFile* fp, std::int64_t position) {
    if (!fp || !fp->Seek(position, SEEK_SET)) return -1;
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

bool CxImageGIF::decodeImage(CxFile* fp, GifDecodeState& st, const tag_dscgif& dsc,
                             const tag_TabCol& global, bool& reachedRequested) {
    tag_image image;
    if (fp->Read(&image, sizeof image, 1) != 1) return false;
    tag_TabCol local;
    const bool hasLocal = (image.pf & 0x80) != 0;
    if (hasLocal && !readColorTable(fp, image.pf, &local)) return false;
    const Rect rect{le16(image.l), le16(image.t), le16(image.w), le16(image.h)};
    const int screenW = le16(dsc.scrwidth), screenH = le16(dsc.scrheight);
    const bool fits = rect.width > 0 && rect.height > 0 && rect.left + rect.width <= screenW &&
                      rect.top + rect.height <= screenH;
    const int transIndex = m_info.transIndex;
    const int disposal = m_dispmeth;
    auto endOfFrame = [&](bool requested) {
        // A graphic control extension applies to the one image that follows it.
        if (!requested) {
            m_info.transIndex = -1;
            m_info.frameDelay = 0;
            m_dispmeth = 0;
        }
    };
    if (!fits) {
        if (fp->GetC() < 0) return false;
        skipSubBlocks(fp);
        endOfFrame(false);
        return true;
    }

    // Frame image with its raw indices; only decoded pixels are painted.
    if (!st.frame.Create(rect.width, rect.height, 8)) {
        SetLastError(st.frame.GetLastError());
        return false;
    }
    st.rowFilled.assign(static_cast<std::size_t>(rect.height), 0);
    st.interlaced = (image.pf & 0x40) != 0;
    st.row = 0;
    st.rowsDone = false;
    st.iypos = 0;
    st.istep = 8;
    st.ipass = 0;
    st.iheight = rect.height;
    st.pos = st.fill = 0;
    int badCodes = 0;
    decoder(st, fp, rect.width, badCodes);
    // Hand back what the read buffer holds beyond the data, then step over whatever data
    // sub-blocks the decoder left unread, up to the block terminator.
    fp->Seek(-(st.fill - st.pos), SEEK_CUR);
    st.pos = st.fill = 0;
    if (!st.terminatorRead) skipSubBlocks(fp);

    const std::size_t screenPixels = static_cast<std::size_t>(st.screenW) * st.screenH;
    const int clearIndex = transIndex >= 0 ? transIndex : st.background;
    if (!st.havePage) {
        st.page.assign(screenPixels, static_cast<std::uint8_t>(clearIndex));
        st.needCanvas = GetNumFrames() > 1;
        if (st.needCanvas) st.canvas.assign(screenPixels, RGBQUAD{0, 0, 0, 0});
        st.havePage = true;
    } else if (st.prevDisposal == 2) {
        // Restore to background: the previous frame's area only.
        for (int y = 0; y < st.prevRect.height; ++y) {
            const std::size_t at =
                static_cast<std::size_t>(st.prevRect.top + y) * st.screenW + st.prevRect.left;
            std::fill_n(st.page.begin() + static_cast<std::ptrdiff_t>(at), st.prevRect.width,
                        static_cast<std::uint8_t>(clearIndex));
            if (st.needCanvas)
                std::fill_n(st.canvas.begin() + static_cast<std::ptrdiff_t>(at), st.prevRect.width,
                            RGBQUAD{0, 0, 0, 0});
        }
    } else if (st.prevDisposal == 3 && st.haveSaved) {
        // Restore to previous: the previous frame's area as it was before that frame.
        copyArea(st, st.prevRect, false);
    }
    st.haveSaved = false;
    if (disposal == 3) {
        copyArea(st, rect, true);
        st.haveSaved = true;
    }
    st.table = hasLocal ? local : global;
    st.transIndex = transIndex;
    st.frameRect = rect;
    GifMix(st, image);
    st.prevDisposal = disposal;
    st.prevRect = rect;

    const bool requested = st.framesSeen == GetFrame();
    ++st.framesSeen;
    reachedRequested = requested;
    endOfFrame(requested);
    return true;
}

void CxImageGIF::GifMix(GifDecodeState& st, const tag_image& /*iImage*/) {
    const Rect& r = st.frameRect;
    RGBQUAD lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = i < st.table.sogct ? RGBQUAD{st.table.paleta[i][2], st.table.paleta[i][1],
                                              st.table.paleta[i][0], 255}
                                    : RGBQUAD{0, 0, 0, 255};
    for (int y = 0; y < r.height; ++y) {
        const std::uint8_t* src = st.frame.topRow(y);
        const std::size_t at = static_cast<std::size_t>(r.top + y) * st.screenW + r.left;
        const int width = std::min(st.rowFilled[static_cast<std::size_t>(y)], st.screenW - r.left);
        std::uint8_t* page = st.page.data() + at;
        if (st.transIndex < 0 || st.transIndex > 255) {
            std::memcpy(page, src, static_cast<std::size_t>(width));
            if (st.needCanvas)
                for (int x = 0; x < width; ++x)
                    st.canvas[at + static_cast<std::size_t>(x)] = lut[src[x]];
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int index = src[x];
            if (index == st.transIndex) continue;
            page[x] = static_cast<std::uint8_t>(index);
            if (st.needCanvas) st.canvas[at + static_cast<std::size_t>(x)] = lut[index];
        }
    }
}

bool CxImageGIF::finishDecode(GifDecodeState& st, bool trueColor) {
    const int count = st.table.sogct;
    const int bpp = count <= 2 ? 1 : (count <= 16 ? 4 : 8);
    const int maxIndex = 1 << bpp;
    auto colourOf = [&](int index) {
        if (index == st.transIndex) return RGBQUAD{0, 0, 0, 0};
        if (index < count)
            return RGBQUAD{st.table.paleta[index][2], st.table.paleta[index][1],
                           st.table.paleta[index][0], 255};
        return RGBQUAD{0, 0, 0, 255};
    };
    // The page can stand as a palette image when the last frame's table shows every pixel as
    // composed; earlier frames with other tables (or other transparency) need true colour.
    if (!st.needCanvas && !trueColor) {
        // A single frame: the page is exact where the frame painted; elsewhere it holds the
        // clear index, which shows as transparent only when it is the transparent index.
        const Rect& r = st.frameRect;
        bool covered = r.left == 0 && r.top == 0 && r.width == st.screenW && r.height == st.screenH;
        for (std::size_t y = 0; covered && y < st.rowFilled.size(); ++y)
            covered = st.rowFilled[y] == r.width;
        if (!covered && (st.transIndex < 0 || st.transIndex >= maxIndex)) {
            st.needCanvas = true;
            st.canvas.assign(st.page.size(), RGBQUAD{0, 0, 0, 0});
            GifMix(st, tag_image{});
        }
    }
    bool indexed = !trueColor;
    for (std::size_t i = 0; indexed && st.needCanvas && i < st.page.size(); ++i) {
        const RGBQUAD want = st.canvas[i];
        const RGBQUAD got = colourOf(st.page[i]);
        if (st.page[i] >= maxIndex ||
            (want.rgbReserved != 0 || got.rgbReserved != 0 ? !(want == got) : false))
            indexed = false;
    }
    CxImage result;
    if (!result.Create(st.screenW, st.screenH, indexed ? bpp : 32)) {
        SetLastError(result.GetLastError());
        return false;
    }
    if (indexed) {
        for (int i = 0; i < count && i < maxIndex; ++i)
            result.SetPaletteColor(
                static_cast<std::uint32_t>(i),
                RGBQUAD{st.table.paleta[i][2], st.table.paleta[i][1], st.table.paleta[i][0], 0});
        for (int y = 0; y < st.screenH; ++y)
            std::memcpy(result.topRow(y), st.page.data() + static_cast<std::size_t>(y) * st.screenW,
                        static_cast<std::size_t>(st.screenW));
    } else {
        for (int y = 0; y < st.screenH; ++y)
            std::memcpy(result.topRow(y),
                        st.canvas.data() + static_cast<std::size_t>(y) * st.screenW,
                        static_cast<std::size_t>(st.screenW) * 4);
    }
    const Info keep = m_info;
    Transfer(result);
    m_info = keep;
    m_info.transIndex = indexed ? st.transIndex : -1;
    if (!indexed && st.transIndex >= 0) {
        RGBQUAD t{0, 0, 0, 0};
        if (st.transIndex < count)
            t = RGBQUAD{st.table.paleta[st.transIndex][2], st.table.paleta[st.transIndex][1],
                        st.table.paleta[st.transIndex][0], 0};
        SetTransColor(t);
    }
    m_info.xOffset = m_info.yOffset = 0;
    return true;
}

void CxImageGIF::init_exp(GifDecodeState& st, int size) {
    st.curr_size = size + 1;
    st.top_slot = 1 << st.curr_size;
    st.clear = 1 << size;
    st.ending = st.clear + 1;
    st.slot = st.newcodes = st.ending + 1;
    st.navail_bytes = st.nbits_left = 0;
    st.acc = 0;
    st.pbytes = 0;
    st.terminatorRead = false;
    std::memset(st.prefix, 0, sizeof st.prefix);
    std::memset(st.suffix, 0, sizeof st.suffix);
}

int CxImageGIF::get_byte(GifDecodeState& st, CxFile* fp) {
    if (st.pos >= st.fill) {
        st.pos = 0;
        st.fill = static_cast<int>(fp->Read(st.buf, 1, kReadBufferSize));
        if (st.fill <= 0) {
            st.fill = 0;
            return -1;
        }
    }
    return st.buf[st.pos++];
}

int CxImageGIF::get_next_code(GifDecodeState& st, CxFile* fp) {
    // Codes are packed least significant bit first across data sub-blocks; a 0-length
    // sub-block (the block terminator) ends the data as if the end code had been read.
    while (st.nbits_left < st.curr_size) {
        if (st.navail_bytes <= 0) {
            if (st.terminatorRead) return st.ending;
            const int n = get_byte(st, fp);
            if (n < 0) return n;
            if (n == 0) {
                st.terminatorRead = true;
                return st.ending;
            }
            if (st.fill - st.pos >= n) {
                std::memcpy(st.byte_buff, st.buf + st.pos, static_cast<std::size_t>(n));
                st.pos += n;
            } else {
                for (int i = 0; i < n; ++i) {
                    const int b = get_byte(st, fp);
                    if (b < 0) return b;
                    st.byte_buff[i] = static_cast<std::uint8_t>(b);
                }
            }
            st.navail_bytes = n;
            st.pbytes = 0;
        }
        st.acc |= static_cast<std::uint32_t>(st.byte_buff[st.pbytes++]) << st.nbits_left;
        st.nbits_left += 8;
        --st.navail_bytes;
    }
    const int code = static_cast<int>(st.acc & ((1u << st.curr_size) - 1));
    st.acc >>= st.curr_size;
    st.nbits_left -= st.curr_size;
    return code;
}

int CxImageGIF::decoder(GifDecodeState& st, CxFile* fp, int linewidth, int& bad_code_count) {
    bad_code_count = 0;
    const int size = get_byte(st, fp);
    if (size < 0) return size;
    if (size < 2 || size > 9) return -20;
    init_exp(st, size);
    std::unique_ptr<std::uint8_t[]> line(new (std::nothrow) std::uint8_t[linewidth + 1]);
    if (!line) return -10;

    // Progressive rows are contiguous in the frame image: decode straight into it. Interlaced
    // rows go through the line buffer and out_line.
    const bool direct = !st.interlaced;
    std::uint8_t* const base = direct ? st.frame.topRow(0) : line.get();
    std::uint8_t* out = base;
    std::uint8_t* const end =
        base + (direct ? static_cast<std::size_t>(linewidth) * st.frame.GetHeight()
                       : static_cast<std::size_t>(linewidth));
    bool full = false; // every row written: further pixels are dropped
    auto lineDone = [&]() {
        if (direct) {
            full = true;
            return;
        }
        out_line(st, base, linewidth);
        out = base;
        full = st.rowsDone;
    };

    int ret = 0;
    int oc = 0, fc = 0;
    bool afterClear = true; // data that starts without a clear code decodes as if it had one
    int c;
    while ((c = get_next_code(st, fp)) != st.ending) {
        if (c < 0) {
            ret = c;
            break;
        }
        if (c == st.clear) {
            st.curr_size = size + 1;
            st.slot = st.newcodes;
            st.top_slot = 1 << st.curr_size;
            afterClear = true;
            continue;
        }
        if (afterClear) {
            afterClear = false;
            if (c >= st.slot) c = 0;
            oc = fc = c;
            if (!full) {
                *out++ = static_cast<std::uint8_t>(c);
                if (out == end) lineDone();
            }
            continue;
        }
        int sp = 0;
        int code = c;
        if (code >= st.slot) {
            // Not yet in the table: the previous string plus its own first character (or a
            // corrupt code, decoded the same way and counted).
            if (code > st.slot) ++bad_code_count;
            code = oc;
            st.stack[sp++] = static_cast<std::uint8_t>(fc);
        }
        while (code >= st.newcodes && sp < kMaxCodes) {
            st.stack[sp++] = st.suffix[code];
            code = st.prefix[code];
        }
        if (code >= st.clear) // only reachable through a corrupt table
            code = 0;
        st.stack[sp++] = static_cast<std::uint8_t>(code);
        if (st.slot < st.top_slot) {
            st.suffix[st.slot] = static_cast<std::uint8_t>(code);
            st.prefix[st.slot] = static_cast<std::uint16_t>(oc);
            ++st.slot;
        }
        fc = code;
        oc = c;
        if (st.slot >= st.top_slot && st.curr_size < kMaxCodeBits) {
            st.top_slot <<= 1;
            ++st.curr_size;
        }
        while (sp > 0 && !full) {
            const int n = std::min<std::ptrdiff_t>(sp, end - out);
            for (int i = 0; i < n; ++i)
                out[i] = st.stack[sp - 1 - i];
            out += n;
            sp -= n;
            if (out == end) lineDone();
        }
    }
    if (direct) {
        const std::size_t written = static_cast<std::size_t>(out - base);
        const std::size_t rows = written / static_cast<std::size_t>(linewidth);
        for (std::size_t y = 0; y < rows; ++y)
            st.rowFilled[y] = linewidth;
        if (rows < st.rowFilled.size())
            st.rowFilled[rows] = static_cast<int>(written % static_cast<std::size_t>(linewidth));
    } else if (out > base && !full) {
        out_line(st, base, static_cast<int>(out - base));
    }
    return ret;
}

void CxImageGIF::out_line(GifDecodeState& st, const std::uint8_t* pixels, int count) {
    // Pixels stay one byte per index: the frame image stores indices unpacked.
    if (st.rowsDone) return;
    const int row = st.interlaced ? st.iypos : st.row;
    if (std::uint8_t* dst = st.frame.topRow(row)) {
        const int n = std::min(count, st.frame.GetWidth());
        std::memcpy(dst, pixels, static_cast<std::size_t>(n));
        st.rowFilled[static_cast<std::size_t>(row)] = n;
    }
    if (!st.interlaced) {
        if (++st.row >= st.frame.GetHeight()) st.rowsDone = true;
        return;
    }
    // Interlaced passes: rows 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3, 5 ...
    st.iypos += st.istep;
    while (st.iypos >= st.iheight) {
        if (st.ipass >= 3) {
            st.rowsDone = true;
            return;
        }
        if (st.ipass > 0) st.istep /= 2;
        ++st.ipass;
        st.iypos = st.istep / 2;
    }
}
