#include "symbols/JournalRecord.h"

#include <QtEndian>

#include <climits>

namespace {

// Pixels are stored in the memory order of QImage::Format_ARGB32 on a little-endian machine.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "journal pixels are written from memory");

bool readExactly(QIODevice& device, void* data, std::int64_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const qint64 got = device.read(bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= got;
    }
    return true;
}

bool writeExactly(QIODevice& device, const void* data, std::int64_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const qint64 put = device.write(bytes, size);
        if (put <= 0)
            return false;
        bytes += put;
        size -= put;
    }
    return true;
}

} // namespace

std::int64_t JournalRecord::byteSize(std::int64_t width, std::int64_t height) {
    return kHeaderSize + width * height * 4;
}

bool JournalRecord::write(QIODevice& device, const QImage& picture) {
    const QImage argb = picture.format() == QImage::Format_ARGB32
                            ? picture
                            : picture.convertToFormat(QImage::Format_ARGB32);
    const std::int64_t length = std::int64_t(argb.width()) * argb.height() * 4;
    if (argb.isNull() || length > std::int64_t(UINT32_MAX))
        return false;
    uchar header[kHeaderSize];
    qToLittleEndian<quint32>(quint32(length), header);
    qToLittleEndian<quint32>(quint32(argb.width()), header + 4);
    qToLittleEndian<quint32>(quint32(argb.height()), header + 8);
    if (!writeExactly(device, header, kHeaderSize))
        return false;
    // 32-bit rows have no padding, so the pixels are one block.
    return writeExactly(device, argb.constBits(), length);
}

std::optional<JournalRecord::Header> JournalRecord::find(QIODevice& device, int index) {
    if (index < 0 || !device.seek(0))
        return std::nullopt;
    const std::int64_t size = device.size();
    Header header;
    for (int k = 0;; ++k) {
        if (size - header.offset < kHeaderSize)
            return std::nullopt;
        uchar bytes[kHeaderSize];
        if (!device.seek(header.offset) || !readExactly(device, bytes, kHeaderSize))
            return std::nullopt;
        header.length = qFromLittleEndian<quint32>(bytes);
        header.width = qFromLittleEndian<quint32>(bytes + 4);
        header.height = qFromLittleEndian<quint32>(bytes + 8);
        // The pixel count in 64 bits cannot overflow; times 4 it must fit the 32-bit length.
        const std::uint64_t pixels = std::uint64_t(header.width) * header.height;
        if (pixels == 0 || pixels > UINT32_MAX / 4 || pixels * 4 != header.length)
            return std::nullopt;
        if (std::int64_t(header.length) > size - header.offset - kHeaderSize)
            return std::nullopt;
        if (k == index)
            return header;
        header.offset += kHeaderSize + header.length;
    }
}

std::optional<QImage> JournalRecord::readPixels(QIODevice& device, const Header& header) {
    if (header.width > INT_MAX || header.height > INT_MAX)
        return std::nullopt;
    QImage picture(int(header.width), int(header.height), QImage::Format_ARGB32);
    if (picture.isNull() || picture.sizeInBytes() != qsizetype(header.length))
        return std::nullopt;
    if (!device.seek(header.offset + kHeaderSize) ||
        !readExactly(device, picture.bits(), header.length))
        return std::nullopt;
    return picture;
}

std::optional<QImage> JournalRecord::read(QIODevice& device, int index) {
    const std::optional<Header> header = find(device, index);
    if (!header)
        return std::nullopt;
    return readPixels(device, *header);
}
