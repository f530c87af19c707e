#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// TiffRgbaReader: the first picture of a TIFF through libtiff's RGBA interface (TIFFRGBAImage),
// which turns every photometric it knows (YCbCr at any subsampling, CMYK, palette, grey, Lab)
// in strips or tiles into 8-bit RGBA. It reads what MagickCore reads wrongly or refuses:
// old-style JPEG, and tiled CMYK JPEG. The picture comes out as the orientation tag says it is
// shown, with straight (not premultiplied) alpha, opaque when the file has none.
class TiffRgbaReader {
public:
    // Compression 6: JPEG as TIFF 6.0 first described it, superseded by compression 7.
    static constexpr int kOldStyleJpeg = 6;

    // The picture, or null with libtiff's reason in error (when given). A read error anywhere,
    // or JPEG data that ends before its picture does, refuses the file.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, std::string* error = nullptr);
    // The compression tag (259) of the first directory; 0 when libtiff cannot open the bytes.
    static int compression(const QByteArray& bytes);
};
