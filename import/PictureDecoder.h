#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// Picture format codes, the picture library's own numbering (the value CxImage::GetType gives).
enum PictureFormat : int {
    kFormatUnknown = 0,
    kFormatBmp = 1,
    kFormatGif = 2,
    kFormatJpg = 3,
    kFormatPng = 4,
    kFormatIco = 5,
    kFormatTif = 6,
    kFormatTga = 7,
    kFormatPcx = 8,
    kFormatWbmp = 9,
    kFormatWmf = 10,
    kFormatJp2 = 11,
    kFormatJpc = 12,
    kFormatPgx = 13,
    kFormatPnm = 14,
    kFormatRas = 15,
};

// PictureDecoder: turns the bytes of a picture file into a CxImage. GIF goes to our own
// CxImageGIF decoder, BMP, TGA, PCX and ICO to their readers (which split by variant), JPEG,
// PNG, WBMP and PNM to Qt's image plugins, TIFF, JPEG 2000, PGX, Sun raster and plain PBM to
// MagickReader, old-style JPEG TIFF and the TIFFs MagickReader refuses to TiffRgbaReader. WMF/EMF have no decoder here and always fail. Format 0 is guessed from the
// leading bytes. Every picture comes out upright, with alpha 255 where the file has none.
class PictureDecoder {
public:
    // Largest file we read into memory (bytes): an uncompressed picture at the pixel limit
    // with 16-bit channels and alpha (8 bytes a pixel), 2 GiB.
    static constexpr qint64 kMaxFileBytes = qint64{1} << 31;

    // The decoded picture with its type set, or null with the reason in error (when given).
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, int format,
                                           std::string* error = nullptr);
    // The format whose signature the bytes start with; 0 when none matches (TGA and WBMP have
    // no signature).
    static int sniff(const QByteArray& bytes);
};
