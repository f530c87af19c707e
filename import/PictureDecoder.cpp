#include "import/PictureDecoder.h"

#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "import/MagickReader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
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

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Qt's BMP reader keeps the rows it got from a cut-off file and reports success. For the
// uncompressed layouts (compression 0 RGB, 3 bit fields) the pixel array must be whole:
// file header "BM" size(u32) reserved(u32) pixel offset(u32); info header size(u32), then
// width(i32) height(i32) planes(u16) bits(u16) compression(u32), or for the 12-byte OS/2
// header width(u16) height(u16) planes(u16) bits(u16). Run-length files are left to Qt.
bool bmpComplete(const QByteArray& b) {
    if (b.size() < 26)
        return false;
    const std::uint32_t offset = le32(b, 10), headerSize = le32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0;
    if (headerSize == 12) {
        width = le16(b, 18);
        height = le16(b, 20);
        bits = le16(b, 24);
    } else {
        if (b.size() < 34)
            return false;
        width = static_cast<std::int32_t>(le32(b, 18));
        height = static_cast<std::int32_t>(le32(b, 22));
        bits = le16(b, 28);
        compression = le32(b, 30);
    }
    if (compression != 0 && compression != 3)
        return true;
    const std::int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return offset + rowBytes * std::abs(height) <= b.size();
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

std::unique_ptr<CxImage> fromQImage(QImage image) {
    if (image.isNull())
        return nullptr;
    const bool alpha = image.hasAlphaChannel();
    // Format_ARGB32 holds blue, green, red, alpha in memory, as CxImage does.
    image.convertTo(QImage::Format_ARGB32);
    auto picture = std::make_unique<CxImage>();
    if (!picture->Create(image.width(), image.height(), alpha ? 32 : 24))
        return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(picture->topRow(y), image.constScanLine(y), rowBytes);
    return picture;
}

std::unique_ptr<CxImage> decodeWithQt(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    QImageReader reader(&buffer, format);
    // The named handler only: the content must not pick another reader.
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64{size.width()} * size.height() > CxImage::kMaxPixels)
        return nullptr;
    return fromQImage(reader.read());
}

std::unique_ptr<CxImage> decodeGif(const QByteArray& bytes) {
    CxMemFile file(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size()));
    CxImageGIF gif;
    if (!gif.Decode(&file) || !gif.IsValid())
        return nullptr;
    auto picture = std::make_unique<CxImage>();
    picture->Transfer(gif);
    return picture;
}

std::unique_ptr<CxImage> decodeAs(const QByteArray& bytes, int format) {
    switch (format) {
    case kFormatBmp:
        return bmpComplete(bytes) ? decodeWithQt(bytes, "bmp") : nullptr;
    case kFormatGif:
        return gifComplete(bytes) ? decodeGif(bytes) : nullptr;
    case kFormatJpg:
        return jpegComplete(bytes) ? decodeWithQt(bytes, "jpeg") : nullptr;
    case kFormatPng:
        return decodeWithQt(bytes, "png");
    case kFormatIco:
        return decodeWithQt(bytes, "ico");
    case kFormatTif:
        return decodeWithQt(bytes, "tiff");
    case kFormatTga: {
        // Qt reads uncompressed true-colour TGA only; run-length and colour-mapped files go
        // to the picture library.
        if (auto picture = decodeWithQt(bytes, "tga"))
            return picture;
        return MagickReader::decode(bytes, "TGA");
    }
    case kFormatPcx:
        return MagickReader::decode(bytes, "PCX");
    case kFormatWbmp:
        return decodeWithQt(bytes, "wbmp");
    case kFormatJp2:
        return MagickReader::decode(bytes, "JP2");
    case kFormatJpc:
        return MagickReader::decode(bytes, "J2K");
    case kFormatPgx:
        return MagickReader::decode(bytes, "PGX");
    // Qt's portable-anymap handler reads every P1..P6 variant, whatever name it is given.
    case kFormatPnm:
        return decodeWithQt(bytes, "ppm");
    case kFormatRas:
        return MagickReader::decode(bytes, "SUN");
    default:
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

std::unique_ptr<CxImage> PictureDecoder::decode(const QByteArray& bytes, int format) {
    std::unique_ptr<CxImage> picture;
    if (format == kFormatUnknown)
        format = sniff(bytes);
    if (format != kFormatUnknown) {
        picture = decodeAs(bytes, format);
    } else {
        // No signature: the two formats that have none, in turn.
        for (const int candidate : {kFormatTga, kFormatWbmp}) {
            picture = decodeAs(bytes, candidate);
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
