#include "import/MagickReader.h"

#include "gif/CxImage.h"
#include "import/CxImageJPG.h"
#include "import/PictureAllocator.h"

#include <magick/MagickCore.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

// Only the coders we dispatch to may read; no coder may write, and no external delegate
// (Ghostscript, curl...) or indirect "@file" read is ever run. Picture sizes are capped by
// resource limits set from PictureAllocator's pixel limit when the library starts.
constexpr const char* kPolicy = R"(<policymap>
  <policy domain="delegate" rights="none" pattern="*"/>
  <policy domain="path" rights="none" pattern="@*"/>
  <policy domain="coder" rights="none" pattern="*"/>
  <policy domain="coder" rights="read"
    pattern="{PCX,JP2,J2K,JPC,J2C,PGX,SUN,RAS,TGA,JPEG,TIFF,PNM}"/>
  <policy domain="resource" name="list-length" value="64"/>
</policymap>)";

void setLimits() {
    // Width and height alone may reach the pixel limit (a one-row panorama); the area caps both.
    const auto limit = static_cast<MagickSizeType>(PictureAllocator::pixelLimit());
    SetMagickResourceLimit(WidthResource, limit);
    SetMagickResourceLimit(HeightResource, limit);
    SetMagickResourceLimit(AreaResource, limit);
}

void initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        ExceptionInfo* exception = AcquireExceptionInfo();
        SetMagickSecurityPolicy(kPolicy, exception);
        DestroyExceptionInfo(exception);
        setLimits();
        SetMagickResourceLimit(ListLengthResource, 64);
        // One decode thread: the library's OpenMP pool would compete with our own threads.
        SetMagickResourceLimit(ThreadResource, 1);
    });
}

// Owns the three library objects of one read.
struct MagickRead {
    ImageInfo* info = AcquireImageInfo();
    ExceptionInfo* exception = AcquireExceptionInfo();
    Image* image = nullptr;
    MagickRead(const QByteArray& bytes, const char* coder, bool ping) {
        std::strncpy(info->magick, coder, MaxTextExtent - 1);
        if (ping)
            info->ping = MagickTrue;
        // The first picture of a multi-picture file (TIFF pages) is the only one read.
        info->scene = 0;
        info->number_scenes = 1;
        if (!bytes.isEmpty())
            image = BlobToImage(info, bytes.constData(), static_cast<std::size_t>(bytes.size()),
                                exception);
    }
    ~MagickRead() {
        if (image)
            DestroyImageList(image);
        DestroyExceptionInfo(exception);
        DestroyImageInfo(info);
    }
    // Replaces the image by a transformed copy; false when the library could not make it.
    bool replace(Image* next) {
        if (!next)
            return false;
        if (next != image) {
            DestroyImageList(image);
            image = next;
        }
        return true;
    }
};

std::string property(Image* image, const char* name) {
    const char* value = GetImageProperty(image, name);
    return value ? std::string(value) : std::string();
}

void setError(std::string* error, const ExceptionInfo* exception, const char* fallback) {
    if (!error)
        return;
    if (exception->reason) {
        *error = exception->reason;
        if (exception->description)
            *error += std::string(" (") + exception->description + ")";
    } else {
        *error = fallback;
    }
}

// TIFF files often carry private tags, which the library reports as warnings; a cut-off TIFF
// is an error there. The other coders report a cut-off file as a warning.
bool failed(const ExceptionInfo* exception, const char* coder) {
    const ExceptionType limit = std::strcmp(coder, "TIFF") == 0 ? ErrorException : WarningException;
    return exception->severity >= limit;
}

// Colour spaces whose channels ExportImagePixels hands out as red, green and blue unchanged.
bool exportsAsRgb(ColorspaceType space) {
    return space == UndefinedColorspace || space == RGBColorspace || space == sRGBColorspace ||
           space == GRAYColorspace || space == LinearGRAYColorspace ||
           space == TransparentColorspace;
}

// Fills the picture's rows (4 bytes a pixel, top row first, without gaps) from the image.
bool exportPixels(Image* image, CxImage& picture, bool alpha, ExceptionInfo* exception) {
    std::uint8_t* pixels = picture.topRow(0);
    if (alpha)
        return ExportImagePixels(image, 0, 0, image->columns, image->rows, "BGRA", CharPixel,
                                 pixels, exception) != MagickFalse;
    // Without an alpha channel the library's alpha values were never written by the coder:
    // export three bytes a pixel, then spread them to four from the end backwards (each pixel's
    // source lies at or before its target), with alpha 255.
    if (!ExportImagePixels(image, 0, 0, image->columns, image->rows, "BGR", CharPixel, pixels,
                           exception))
        return false;
    const std::size_t count = static_cast<std::size_t>(image->columns) * image->rows;
    for (std::size_t i = count; i-- > 0;) {
        const std::uint8_t* from = pixels + i * 3;
        std::uint8_t* to = pixels + i * 4;
        const std::uint8_t blue = from[0], green = from[1], red = from[2];
        to[0] = blue;
        to[1] = green;
        to[2] = red;
        to[3] = 255;
    }
    return true;
}

// The library's TIFF coder reads 2- and 4-bit grey with photometric "min-is-white" (0 is
// white) as if 0 were black; its 1- and 8-bit readers get it right. Turns such a picture's
// greys the right way round.
void fixTiffGrey(Image* image, CxImage& picture) {
    if ((image->depth != 2 && image->depth != 4) ||
        property(image, "tiff:photometric") != "min-is-white")
        return;
    for (std::int32_t y = 0; y < picture.GetHeight(); ++y) {
        std::uint8_t* p = picture.topRow(y);
        for (std::int32_t x = 0; x < picture.GetWidth(); ++x, p += 4)
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(255 - p[c]);
    }
}

} // namespace

std::unique_ptr<CxImage> MagickReader::decode(const QByteArray& bytes, const char* coder,
                                              std::string* error) {
    initialise();
    MagickRead read(bytes, coder, false);
    if (!read.image || failed(read.exception, coder)) {
        setError(error, read.exception, "the picture library could not read the file");
        return nullptr;
    }
    // The coders report a stored origin (TGA's bottom-left rows, TIFF's orientation tag) as
    // the image's orientation and keep the rows as stored.
    const OrientationType orientation = read.image->orientation;
    if (orientation != UndefinedOrientation && orientation != TopLeftOrientation) {
        if (!read.replace(AutoOrientImage(read.image, orientation, read.exception))) {
            setError(error, read.exception, "the picture could not be turned upright");
            return nullptr;
        }
    }
    Image* image = read.image;
    if (!exportsAsRgb(image->colorspace) && !TransformImageColorspace(image, sRGBColorspace)) {
        setError(error, &image->exception, "the picture's colours could not be converted");
        return nullptr;
    }
    const bool alpha = image->matte != MagickFalse;
    auto picture = PictureAllocator::create(static_cast<std::int64_t>(image->columns),
                                            static_cast<std::int64_t>(image->rows), alpha, error);
    if (!picture)
        return nullptr;
    if (!exportPixels(image, *picture, alpha, read.exception) || failed(read.exception, coder)) {
        setError(error, read.exception, "the picture's pixels could not be read");
        return nullptr;
    }
    if (std::strcmp(coder, "TIFF") == 0)
        fixTiffGrey(image, *picture);
    return picture;
}

bool MagickReader::readExif(const QByteArray& bytes, ExifInfo& exif) {
    initialise();
    exif = ExifInfo{};
    MagickRead read(bytes, "JPEG", true);
    if (!read.image)
        return false;
    const StringInfo* profile = GetImageProfile(read.image, "exif");
    if (!profile || GetStringInfoLength(profile) == 0)
        return false;
    // The library keeps the APP1 payload with its "Exif\0\0" identifier; the block proper
    // (TIFF byte order, directories) follows it.
    const unsigned char* data = GetStringInfoDatum(profile);
    std::size_t length = GetStringInfoLength(profile);
    if (length >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
        data += 6;
        length -= 6;
    }
    exif.raw.assign(data, data + length);
    exif.isExif = true;
    exif.cameraMake = property(read.image, "exif:Make");
    exif.cameraModel = property(read.image, "exif:Model");
    exif.dateTime = property(read.image, "exif:DateTime");
    exif.orientation = std::atoi(property(read.image, "exif:Orientation").c_str());
    return true;
}
