#include "import/CTavImage.h"

#include "gif/CxIOFile.h"
#include "import/PictureAllocator.h"
#include "import/PictureDecoder.h"

#include <QByteArray>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using Counter = std::chrono::steady_clock;

std::int64_t readCounter() {
    return Counter::now().time_since_epoch().count();
}

// Extension -> format code, tested in this order.
struct TypeRow {
    const char* extension;
    int format;
};
constexpr TypeRow kTypes[] = {
    {"bmp", kFormatBmp}, {"jpg", kFormatJpg}, {"jpeg", kFormatJpg},  {"gif", kFormatGif},
    {"png", kFormatPng}, {"ico", kFormatIco}, {"tiff", kFormatTif},  {"tif", kFormatTif},
    {"tga", kFormatTga}, {"pcx", kFormatPcx}, {"wbmp", kFormatWbmp}, {"wmf", kFormatWmf},
    {"emf", kFormatWmf}, {"jp2", kFormatJp2}, {"j2k", kFormatJp2},   {"jpc", kFormatJpc},
    {"j2c", kFormatJpc}, {"pgx", kFormatPgx}, {"ras", kFormatRas},   {"pnm", kFormatPnm},
    {"pgm", kFormatPnm}, {"ppm", kFormatPnm},
};

// BITMAPFILEHEADER: "BM" size(u32) reserved(u32) offset of the pixels(u32), then the 40-byte
// BITMAPINFOHEADER: size(u32) width(i32) height(i32) planes(u16) bitcount(u16) compression(u32)
// image size(u32) x/y resolution(i32 each) colours used(u32) colours important(u32).
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

void put16(QByteArray& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void put32(QByteArray& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

CTavImage::CTavImage() : m_frequency(Counter::period::den / Counter::period::num) {}

CTavImage& CTavImage::operator=(const CTavImage& other) {
    if (this != &other) {
        release();
        m_picture = other.m_picture;
        m_jpg = other.m_jpg;
        m_frequency = other.m_frequency;
        m_startTick = other.m_startTick;
        m_endTick = other.m_endTick;
        m_elapsed = other.m_elapsed;
    }
    return *this;
}

CTavImage::~CTavImage() {
    release();
}

void CTavImage::release() {
    // Ask a decoder that may still run to stop, but only when no other copy holds the picture.
    if (m_picture && m_picture.use_count() == 1)
        m_picture->SetEscape(1);
    m_picture.reset();
}

int CTavImage::FindType(const char* extension) {
    if (!extension)
        return kFormatUnknown;
    for (const TypeRow& row : kTypes)
        if (std::strcmp(extension, row.extension) == 0)
            return row.format;
    return kFormatUnknown;
}

const char* CTavImage::FindExtension(const char* path) {
    if (!path)
        return "";
    const char* dot = std::strrchr(path, '.');
    return dot ? dot + 1 : "";
}

int CTavImage::LoadPhoto(const char* path) {
    if (!path || !std::strchr(path, '.'))
        return 0;
    QByteArray extension(FindExtension(path));
    const int format = FindType(extension.toLower().constData());

    release();
    m_jpg.ClearExif();
    Stopwatch(0);
    std::unique_ptr<CxImage> picture;
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::ReadOnly) && file.size() <= PictureDecoder::kMaxFileBytes)
        picture = PictureDecoder::decode(file.readAll(), format);
    Stopwatch(1);
    if (!picture)
        return 0;

    if (picture->GetType() == kFormatJpg) {
        if (std::FILE* fp = std::fopen(path, "rb")) {
            CxIOFile exifFile(fp);
            m_jpg.DecodeExif(&exifFile);
            std::fclose(fp);
        }
    }
    m_picture = std::move(picture);
    return 1;
}

int CTavImage::LoadPhoto(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    release();
    m_jpg.ClearExif();
    Stopwatch(0);
    if (!pixels || !PictureAllocator::fits(width, height, 4, nullptr)) {
        Stopwatch(1);
        return 0;
    }
    // The caller's rows are packed; a BMP pads each row to a multiple of four bytes, so the
    // rows are copied one by one into the padded layout.
    const std::size_t packedRow = static_cast<std::size_t>(width) * 3;
    const std::size_t paddedRow = (packedRow + 3) & ~std::size_t{3};
    const std::size_t pixelBytes = paddedRow * static_cast<std::size_t>(height);
    const std::size_t offset = kFileHeaderBytes + kInfoHeaderBytes;
    QByteArray bmp(static_cast<qsizetype>(offset + pixelBytes), '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
    put32(bmp, 10, static_cast<std::uint32_t>(offset));
    put32(bmp, 14, kInfoHeaderBytes);
    put32(bmp, 18, static_cast<std::uint32_t>(width));
    put32(bmp, 22, static_cast<std::uint32_t>(height)); // positive: bottom row first
    put16(bmp, 26, 1);                                  // planes
    put16(bmp, 28, 24);                                 // bits per pixel, compression 0
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(bmp.data() + offset + static_cast<std::size_t>(y) * paddedRow,
                    pixels + static_cast<std::size_t>(y) * packedRow, packedRow);
    std::unique_ptr<CxImage> picture = PictureDecoder::decode(bmp, kFormatBmp);
    Stopwatch(1);
    if (!picture)
        return 0;
    m_picture = std::move(picture);
    return 1;
}

void CTavImage::Stopwatch(int end) {
    if (end == 0) {
        m_startTick = readCounter();
        return;
    }
    m_endTick = readCounter();
    if (m_frequency == 0) {
        m_elapsed = -1.0f;
        return;
    }
    // The whole 64-bit difference: a nanosecond counter's low 32 bits wrap after 4.3 s.
    m_elapsed = static_cast<float>(static_cast<double>(m_endTick - m_startTick) /
                                   static_cast<double>(m_frequency));
}

void CTavImage::Resample(std::int32_t width, std::int32_t height) {
    if (m_picture)
        m_picture->Resample(width, height, 1);
}
