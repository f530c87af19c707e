#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;
struct ExifInfo;

// MagickReader: the picture formats and variants Qt reads wrongly or not at all (TIFF, PCX,
// JPEG 2000, PGX, Sun raster, TGA, plain PBM), decoded by ImageMagick's MagickCore from memory.
// The coder is always named by the caller, so a file's content never selects another coder; a
// process-wide policy allows only these coders to read and caps picture sizes. The picture
// comes out as the format says it is shown: the coder's orientation (TGA origin, TIFF
// orientation tag) is applied, CMYK and other colour spaces are turned into sRGB, and a
// picture without alpha is opaque.
class MagickReader {
public:
    // Decodes the first picture of bytes with the named coder ("PCX", "JP2", "J2K", "PGX",
    // "SUN", "TGA", "TIFF", "PNM"). Null, with the reason in error, when the library reports an
    // error, or any warning from a coder other than TIFF's (a cut-off file is a warning there).
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, const char* coder,
                                           std::string* error = nullptr);
    // Reads the EXIF block of JPEG bytes without decoding the pixels; false when it has none.
    static bool readExif(const QByteArray& bytes, ExifInfo& exif);
};
