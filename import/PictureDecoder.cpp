#include "import/PictureDecoder.h"

#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "import/BmpReader.h"
#include "import/IcoReader.h"
#include "import/MagickReader.h"
#include "import/PcxReader.h"
#include "import/PictureAllocator.h"
#include "import/QtPictureReader.h"
#include "import/TgaReader.h"
#include "import/TiffRgbaReader.h"

#include <cstdint>
#include <cstring>

namespace {

bool startsWith(const QByteArray& bytes, const char* magic, qsizetype length) {
    return bytes.size() >= length && std::memcmp(bytes.constData(), magic, length) == 0;
}

// Qt's JPEG reader fills a cut-off picture with grey and still reports success. A JPEG that
// has no end-of-image marker (FF D9) after its last start-of-scan (FF DA) is cut off.
bool jpegComplete(const QByteArray& bytes) {
    const qsizetype scan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return scan >= 0 && bytes.indexOf(QByteArrayView("\xFF\xD9", 2), scan) > scan;
}

// Our GIF decoder keeps what it decoded of a cut-off image. Walks the block structure without
// decoding: a file whose last block runs past the end of the data is cut off. Layout: header
// and screen descriptor (13 bytes, packed byte at 10), global table, then blocks: 0x21 label
// sub-blocks | 0x2C descriptor (9 bytes, packed at 8) [local table] code size sub-blocks |
// 0x3B trailer. Sub-blocks: length byte, data, ..., 0.
bool gifComplete(const QByteArray& b) {
    const qsizetype size = b.size();
    auto tableBytes = [](std::uint8_t packed) {
        return (packed & 0x80) ? qsizetype{3} << ((packed & 7) + 1) : 0;
    };
    auto skipSubBlocks = [&](qsizetype at) -> qsizetype {
        while (at < size) {
            const std::uint8_t length = static_cast<std::uint8_t>(b[at]);
            at += 1 + length;
            if (length == 0)
                return at;
        }
        return -1;
    };
    if (size < 13)
        return false;
    qsizetype at = 13 + tableBytes(static_cast<std::uint8_t>(b[10]));
    while (at < size) {
        const std::uint8_t introducer = static_cast<std::uint8_t>(b[at]);
        if (introducer == 0x3B)
            return true;
        if (introducer == 0x21) {
            at = at + 2 <= size ? skipSubBlocks(at + 2) : -1;
        } else if (introducer == 0x2C) {
            if (at + 11 > size)
                return false;
            at += 10 + tableBytes(static_cast<std::uint8_t>(b[at + 9])) + 1; // + code size
            at = at <= size ? skipSubBlocks(at) : -1;
        } else {
            return true; // stray bytes after complete blocks: the decoder stops there too
        }
        if (at < 0)
            return false;
    }
    return at == size;
}

// The logical screen (width and height, u16 each at 6) is the size of the picture the GIF
// decoder allocates; it is held to the same pixel limit as every other picture.
std::unique_ptr<CxImage> decodeGif(const QByteArray& bytes, std::string* error) {
    if (bytes.size() >= 10) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        const int width = p[6] | (p[7] << 8), height = p[8] | (p[9] << 8);
        if (width > 0 && height > 0 && !PictureAllocator::fits(width, height, 4, error))
            return nullptr;
    }
    CxMemFile file(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size()));
    CxImageGIF gif;
    if (!gif.Decode(&file) || !gif.IsValid()) {
        if (error)
            *error = gif.GetLastError();
        return nullptr;
    }
    auto picture = std::make_unique<CxImage>();
    picture->Transfer(gif);
    return picture;
}

// Plain PBM ("P1") goes to the picture library: Qt's reader wants white space between the
// digits, which the format does not require.
bool plainPbm(const QByteArray& bytes) {
    return startsWith(bytes, "P1", 2);
}

// Qt's TIFF reader ignores the orientation tag, mixes up 16-bit planar channels and refuses
// 12- and 32-bit, floating-point, 16-bit CMYK and tiled files; MagickCore reads them all, with
// two exceptions. Old-style JPEG it reads through libtiff's RGBA interface, which already
// gives RGB, yet it labels the picture YCbCr after the photometric tag, so the colours would
// be converted a second time. Tiled CMYK JPEG it refuses (it asks libtiff for the scan lines
// of a tiled picture). libtiff's RGBA reader takes the first, and every TIFF MagickCore
// refuses gets a second chance there; when both refuse, MagickCore's reason is given.
std::unique_ptr<CxImage> decodeTiff(const QByteArray& bytes, std::string* error) {
    if (TiffRgbaReader::compression(bytes) == TiffRgbaReader::kOldStyleJpeg)
        return TiffRgbaReader::decode(bytes, error);
    std::string refused;
    if (auto picture = MagickReader::decode(bytes, "TIFF", &refused))
        return picture;
    if (auto picture = TiffRgbaReader::decode(bytes))
        return picture;
    if (error)
        *error = refused;
    return nullptr;
}

std::unique_ptr<CxImage> cutOff(std::string* error) {
    if (error)
        *error = "the file is cut off";
    return nullptr;
}

// Which reader takes which format; the readers of BMP, TGA and PCX split further by variant.
std::unique_ptr<CxImage> decodeAs(const QByteArray& bytes, int format, std::string* error) {
    switch (format) {
    case kFormatBmp:
        return BmpReader::decode(bytes, error);
    case kFormatGif:
        return gifComplete(bytes) ? decodeGif(bytes, error) : cutOff(error);
    case kFormatJpg:
        return jpegComplete(bytes) ? QtPictureReader::decode(bytes, "jpeg", error) : cutOff(error);
    case kFormatPng:
        return QtPictureReader::decode(bytes, "png", error);
    case kFormatIco:
        return IcoReader::decode(bytes, error);
    case kFormatTif:
        return decodeTiff(bytes, error);
    case kFormatTga:
        return TgaReader::decode(bytes, error);
    case kFormatPcx:
        return PcxReader::decode(bytes, error);
    case kFormatWbmp:
        return QtPictureReader::decode(bytes, "wbmp", error);
    case kFormatJp2:
        return MagickReader::decode(bytes, "JP2", error);
    case kFormatJpc:
        return MagickReader::decode(bytes, "J2K", error);
    case kFormatPgx:
        return MagickReader::decode(bytes, "PGX", error);
    // Qt's portable-anymap handler reads every P2..P6 variant, whatever name it is given.
    case kFormatPnm:
        return plainPbm(bytes) ? MagickReader::decode(bytes, "PNM", error)
                               : QtPictureReader::decode(bytes, "ppm", error);
    case kFormatRas:
        return MagickReader::decode(bytes, "SUN", error);
    default:
        if (error)
            *error = "no reader for this picture format";
        return nullptr; // WMF/EMF and unknown formats
    }
}

} // namespace

int PictureDecoder::sniff(const QByteArray& b) {
    if (startsWith(b, "BM", 2))
        return kFormatBmp;
    if (startsWith(b, "GIF8", 4))
        return kFormatGif;
    if (startsWith(b, "\xFF\xD8\xFF", 3))
        return kFormatJpg;
    if (startsWith(b, "\x89PNG\r\n\x1A\n", 8))
        return kFormatPng;
    if (startsWith(b, "\0\0\1\0", 4))
        return kFormatIco;
    if (startsWith(b, "II*\0", 4) || startsWith(b, "MM\0*", 4))
        return kFormatTif;
    if (startsWith(b, "\0\0\0\x0CjP  ", 8))
        return kFormatJp2;
    if (startsWith(b, "\xFF\x4F\xFF\x51", 4))
        return kFormatJpc;
    if (startsWith(b, "PG ", 3))
        return kFormatPgx;
    if (startsWith(b, "\x59\xA6\x6A\x95", 4))
        return kFormatRas;
    if (startsWith(b, "\xD7\xCD\xC6\x9A", 4) || startsWith(b, "\x01\0\0\0", 4))
        return kFormatWmf; // placeable WMF, EMF header record
    if (b.size() >= 2 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6')
        return kFormatPnm;
    // PCX: manufacturer 10, version 0..5, encoding 1 (run-length).
    if (b.size() >= 3 && b[0] == 0x0A && b[1] >= 0 && b[1] <= 5 && b[2] == 1)
        return kFormatPcx;
    return kFormatUnknown;
}

std::unique_ptr<CxImage> PictureDecoder::decode(const QByteArray& bytes, int format,
                                                std::string* error) {
    std::unique_ptr<CxImage> picture;
    if (format == kFormatUnknown)
        format = sniff(bytes);
    if (format != kFormatUnknown) {
        picture = decodeAs(bytes, format, error);
    } else {
        // No signature: the two formats that have none, in turn.
        for (const int candidate : {kFormatTga, kFormatWbmp}) {
            picture = decodeAs(bytes, candidate, error);
            if (picture) {
                format = candidate;
                break;
            }
        }
    }
    if (picture)
        picture->SetType(static_cast<std::uint32_t>(format));
    return picture;
}
