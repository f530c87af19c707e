#include "import/MagickReader.h"

#include "gif/CxImage.h"
#include "import/CxImageJPG.h"

#include <magick/MagickCore.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

// Only the coders we dispatch to may read; no coder may write, and no external delegate
// (Ghostscript, curl...) or indirect "@file" read is ever run. Pictures larger than
// CxImage::kMaxPixels are refused before their pixels are allocated.
constexpr const char* kPolicy = R"(<policymap>
  <policy domain="delegate" rights="none" pattern="*"/>
  <policy domain="path" rights="none" pattern="@*"/>
  <policy domain="coder" rights="none" pattern="*"/>
  <policy domain="coder" rights="read" pattern="{PCX,JP2,J2K,JPC,J2C,PGX,SUN,RAS,TGA,JPEG}"/>
  <policy domain="resource" name="width" value="16KP"/>
  <policy domain="resource" name="height" value="16KP"/>
  <policy domain="resource" name="area" value="16MP"/>
  <policy domain="resource" name="list-length" value="64"/>
</policymap>)";

void initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        ExceptionInfo* exception = AcquireExceptionInfo();
        SetMagickSecurityPolicy(kPolicy, exception);
        DestroyExceptionInfo(exception);
        // The same caps again for a library whose policy was fixed before we started.
        SetMagickResourceLimit(WidthResource, 16384);
        SetMagickResourceLimit(HeightResource, 16384);
        SetMagickResourceLimit(AreaResource, static_cast<MagickSizeType>(CxImage::kMaxPixels));
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
    bool ok() const { return image && exception->severity == UndefinedException; }
};

std::string property(Image* image, const char* name) {
    const char* value = GetImageProperty(image, name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::unique_ptr<CxImage> MagickReader::decode(const QByteArray& bytes, const char* coder) {
    initialise();
    MagickRead read(bytes, coder, false);
    if (!read.ok())
        return nullptr;
    Image* image = read.image;
    auto picture = std::make_unique<CxImage>();
    const bool alpha = image->matte != MagickFalse;
    if (image->columns > static_cast<std::size_t>(INT32_MAX) ||
        image->rows > static_cast<std::size_t>(INT32_MAX) ||
        !picture->Create(static_cast<std::int32_t>(image->columns),
                         static_cast<std::int32_t>(image->rows), alpha ? 32 : 24))
        return nullptr;
    // CxImage keeps its rows top to bottom, 4 bytes a pixel, without gaps: one export fills it.
    if (!ExportImagePixels(image, 0, 0, image->columns, image->rows, "BGRA", CharPixel,
                           picture->topRow(0), read.exception) ||
        read.exception->severity != UndefinedException)
        return nullptr;
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
