#pragma once

#include <QByteArray>

#include <memory>

class CxImage;
struct ExifInfo;

// MagickReader: the picture formats Qt has no plugin for (PCX, JPEG 2000, PGX, Sun raster, and
// the TGA variants Qt's reader refuses), decoded by ImageMagick's MagickCore from memory. The
// coder is always named by the caller, so a file's content never selects another coder; a
// process-wide policy allows only these coders to read and caps picture sizes.
class MagickReader {
public:
    // Decodes bytes with the named coder ("PCX", "JP2", "J2K", "PGX", "SUN", "TGA"). Null when
    // the library reports any error or warning (a cut-off file is a warning there).
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, const char* coder);
    // Reads the EXIF block of JPEG bytes without decoding the pixels; false when it has none.
    static bool readExif(const QByteArray& bytes, ExifInfo& exif);
};
