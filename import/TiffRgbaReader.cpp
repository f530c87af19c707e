#include "import/TiffRgbaReader.h"

#include "gif/CxImage.h"
#include "import/PictureAllocator.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The file as libtiff's client I/O sees it: the bytes, read-only and never mapped, a position,
// libtiff's first error message for that file, and whether JPEG data in it ended early.
struct MemoryFile {
    const QByteArray& bytes;
    toff_t at = 0;
    std::string error;
    bool cutOff = false;
};

MemoryFile& fileOf(thandle_t handle) {
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t readBytes(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile& file = fileOf(handle);
    const auto total = static_cast<toff_t>(file.bytes.size());
    if (size <= 0 || file.at >= total)
        return 0;
    const toff_t count = std::min(static_cast<toff_t>(size), total - file.at);
    std::memcpy(buffer, file.bytes.constData() + file.at, count);
    file.at += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeBytes(thandle_t, void*, tmsize_t) {
    return 0;
}

// libtiff hands a backward relative offset over as its two's complement: the unsigned sum
// wraps to the right position. A position past the end reads nothing.
toff_t seekTo(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = fileOf(handle);
    const toff_t base = whence == SEEK_CUR   ? file.at
                        : whence == SEEK_END ? static_cast<toff_t>(file.bytes.size())
                                             : 0;
    file.at = base + offset;
    return file.at;
}

int closeFile(thandle_t) {
    return 0;
}

toff_t sizeOf(thandle_t handle) {
    return static_cast<toff_t>(fileOf(handle).bytes.size());
}

int mapNothing(thandle_t, void**, toff_t*) {
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) {}

// Per-file handlers, so that nothing reaches stderr or the process-wide handlers MagickCore
// installs.
int keepFirstError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    MemoryFile& file = fileOf(user);
    if (file.error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        file.error = module && *module ? std::string(module) + ": " + text : std::string(text);
    }
    return 1; // handled
}

// Warnings (old-style JPEG's deprecation notice, unknown private tags) do not fail, except
// one: libjpeg warns of a "premature end" of the data and fills the rest of the picture with
// grey, where a cut-off TIFF or JPEG is refused.
int noteCutOff(TIFF*, void* user, const char*, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (std::strstr(text, "remature end"))
        fileOf(user).cutOff = true;
    return 1;
}

// An open TIFF over the bytes, closed with this object.
class OpenTiff {
public:
    explicit OpenTiff(const QByteArray& bytes) : m_file{bytes, 0, {}, false} {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options)
            return;
        // libtiff's largest single buffer: a strip or tile as large as the largest picture at
        // 8 bytes a pixel (16-bit RGBA), as for the file itself.
        TIFFOpenOptionsSetMaxSingleMemAlloc(
            options, static_cast<tmsize_t>(PictureAllocator::pixelLimit() * 8));
        TIFFOpenOptionsSetErrorHandlerExtR(options, keepFirstError, &m_file);
        TIFFOpenOptionsSetWarningHandlerExtR(options, noteCutOff, &m_file);
        // "r" read-only, "m" never map the file into memory (readBytes serves every read).
        m_tiff = TIFFClientOpenExt("picture", "rm", &m_file, readBytes, writeBytes, seekTo,
                                   closeFile, sizeOf, mapNothing, unmapNothing, options);
        TIFFOpenOptionsFree(options);
    }
    ~OpenTiff() {
        if (m_tiff)
            TIFFClose(m_tiff);
    }
    OpenTiff(const OpenTiff&) = delete;
    OpenTiff& operator=(const OpenTiff&) = delete;

    TIFF* get() const { return m_tiff; }
    bool cutOff() const { return m_file.cutOff; }
    // libtiff's first error, else the fallback.
    std::string error(const char* fallback) const {
        return m_file.error.empty() ? std::string(fallback) : m_file.error;
    }

private:
    MemoryFile m_file;
    TIFF* m_tiff = nullptr;
};

std::unique_ptr<CxImage> fail(std::string* error, std::string reason) {
    if (error)
        *error = std::move(reason);
    return nullptr;
}

// Where the pixel shown at (x, y) is stored, for a stored picture of width w and height h:
// index = start + x * across + y * down. The orientation tag (274) names the stored picture's
// row 0 and column 0 as shown: 1 top/left, 2 top/right, 3 bottom/right, 4 bottom/left, and
// 5..8 the same four with rows and columns swapped (the shown picture is h wide).
struct Walk {
    std::ptrdiff_t start, across, down;
};

Walk walkFor(int orientation, std::ptrdiff_t w, std::ptrdiff_t h) {
    const std::ptrdiff_t last = (h - 1) * w; // first pixel of the last stored row
    switch (orientation) {
    case ORIENTATION_TOPRIGHT:
        return {w - 1, -1, w};
    case ORIENTATION_BOTRIGHT:
        return {last + w - 1, -1, -w};
    case ORIENTATION_BOTLEFT:
        return {last, 1, -w};
    case ORIENTATION_LEFTTOP:
        return {0, w, 1};
    case ORIENTATION_RIGHTTOP:
        return {last, -w, 1};
    case ORIENTATION_RIGHTBOT:
        return {last + w - 1, -w, -1};
    case ORIENTATION_LEFTBOT:
        return {w - 1, w, -1};
    default:
        return {0, 1, w};
    }
}

// libtiff's raster holds each pixel as A << 24 | B << 16 | G << 8 | R, with its colours
// multiplied by alpha (it premultiplies unassociated alpha and keeps associated alpha as
// stored). The picture wants blue, green, red, alpha bytes with straight colours.
void placePixels(const std::uint32_t* raster, const Walk& walk, bool alpha, CxImage& picture) {
    for (std::int32_t y = 0; y < picture.GetHeight(); ++y) {
        std::uint8_t* out = picture.topRow(y);
        const std::uint32_t* in = raster + walk.start + y * walk.down;
        for (std::int32_t x = 0; x < picture.GetWidth(); ++x, out += 4, in += walk.across) {
            const std::uint32_t v = *in;
            const unsigned a = alpha ? TIFFGetA(v) : 255;
            const unsigned rgb[3] = {TIFFGetB(v), TIFFGetG(v), TIFFGetR(v)};
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(
                    a == 255 ? rgb[c]
                    : a == 0 ? 0
                             : std::min(255u, (rgb[c] * 255 + a / 2) / a));
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
}

} // namespace

std::unique_ptr<CxImage> TiffRgbaReader::decode(const QByteArray& bytes, std::string* error) {
    const OpenTiff tiff(bytes);
    if (!tiff.get())
        return fail(error, tiff.error("libtiff could not open the file"));
    char message[1024] = "";
    TIFFRGBAImage rgba;
    if (!TIFFRGBAImageOK(tiff.get(), message) ||
        !TIFFRGBAImageBegin(&rgba, tiff.get(), /*stop on error*/ 1, message))
        return fail(error, message[0] ? std::string(message) : tiff.error("libtiff refused it"));
    struct End {
        TIFFRGBAImage& rgba;
        ~End() { TIFFRGBAImageEnd(&rgba); }
    } end{rgba};
    const std::uint32_t width = rgba.width, height = rgba.height;
    if (!PictureAllocator::fits(width, height, 4, error))
        return nullptr;
    // libtiff would mirror for orientations 2..4 but cannot turn a picture for 5..8: the rows
    // are read as stored, top row first, and every orientation is applied in placePixels.
    const int orientation = rgba.orientation;
    rgba.orientation = rgba.req_orientation = ORIENTATION_TOPLEFT;
    const std::size_t count = std::size_t{width} * height;
    const std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[count]);
    if (!raster)
        return fail(error, "not enough memory for a picture of " + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels");
    if (!TIFFRGBAImageGet(&rgba, raster.get(), width, height))
        return fail(error, tiff.error("libtiff could not read the pixels"));
    if (tiff.cutOff())
        return fail(error, "the file is cut off");
    const bool turned = orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
    const bool alpha = rgba.alpha != 0;
    auto picture =
        PictureAllocator::create(turned ? height : width, turned ? width : height, alpha, error);
    if (!picture)
        return nullptr;
    placePixels(raster.get(), walkFor(orientation, width, height), alpha, *picture);
    return picture;
}

int TiffRgbaReader::compression(const QByteArray& bytes) {
    const OpenTiff tiff(bytes);
    std::uint16_t value = 0;
    return tiff.get() && TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &value) ? value : 0;
}
