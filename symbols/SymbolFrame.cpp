#include "symbols/SymbolFrame.h"

#include "import/CTavImageEncoder.h"

#include <QBuffer>
#include <QImageReader>

QByteArray SymbolFrame::encode(const QImage& picture) {
    if (picture.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // A straight-alpha 32-bit picture makes the PNG writer store RGBA, whatever the source
    // format was.
    CTavImageEncoder encoder("image/png");
    if (encoder.Save(picture.convertToFormat(QImage::Format_ARGB32), &buffer) !=
        CTavImageEncoder::kOk)
        return {};
    return png;
}

QImage SymbolFrame::decode(const QByteArray& png, std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return {};
    QByteArray bytes = png; // QBuffer needs a non-const array; the copy shares the data
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Only the PNG reader: the bytes come from a file anyone may have written, so no other
    // decoder is offered them.
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    // The header's size is checked before any pixel memory is taken.
    if (reader.size() != QSize(int(width), int(height)))
        return {};
    QImage picture = reader.read();
    if (picture.isNull() || picture.size() != QSize(int(width), int(height)))
        return {};
    return picture.convertToFormat(QImage::Format_ARGB32);
}
