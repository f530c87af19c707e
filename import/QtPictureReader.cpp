#include "import/QtPictureReader.h"

#include "gif/CxImage.h"
#include "import/PictureAllocator.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

std::unique_ptr<CxImage> fromQImage(QImage image, std::string* error) {
    const bool alpha = image.hasAlphaChannel();
    // Both formats hold blue, green, red, alpha in memory, as CxImage does. Format_RGB32 keeps
    // 0xFF in the alpha byte: a picture without alpha, or a palette index past the table
    // (which Qt turns into black), stays opaque.
    image.convertTo(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        if (error)
            *error = "not enough memory to convert the picture";
        return nullptr;
    }
    auto picture = PictureAllocator::create(image.width(), image.height(), alpha, error);
    if (!picture)
        return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(picture->topRow(y), image.constScanLine(y), rowBytes);
    return picture;
}

} // namespace

std::unique_ptr<CxImage> QtPictureReader::decode(const QByteArray& bytes, const char* format,
                                                 std::string* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    QImageReader reader(&buffer, format);
    // The named handler only: the content must not pick another reader.
    reader.setAutoDetectImageFormat(false);
    // Qt refuses decoded pictures over its allocation limit (128 MiB unless set); ours is the
    // pixel limit at up to 8 bytes a pixel (16-bit channels), in MiB.
    reader.setAllocationLimit(static_cast<int>(std::min<std::int64_t>(
        PictureAllocator::pixelLimit() * 8 >> 20, std::numeric_limits<int>::max())));
    const QSize size = reader.size();
    if (size.isValid() && !PictureAllocator::fits(size.width(), size.height(), 4, error))
        return nullptr;
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = reader.errorString().toStdString();
        return nullptr;
    }
    return fromQImage(std::move(image), error);
}
