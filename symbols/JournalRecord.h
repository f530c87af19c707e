#pragma once

#include <QImage>
#include <QIODevice>

#include <cstdint>
#include <optional>

// JournalRecord: one canvas picture in the canvas journal, and the walk over the records of a
// journal. The journal has no file header; records follow each other:
//
//   offset  size  field (little-endian)
//   0       4     L: byte length of the pixels (u32), always width * height * 4
//   4       4     width in pixels (u32)
//   8       4     height in pixels (u32)
//   12      L     pixels: bytes B, G, R, A per pixel, rows top to bottom, width * 4 bytes a row
//
// A record is accepted only when its length matches its size and it lies wholly inside the
// device; everything is checked before a picture is allocated.
class JournalRecord {
public:
    static constexpr std::int64_t kHeaderSize = 12;

    struct Header {
        std::uint32_t length = 0;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::int64_t offset = 0; // where the record starts in the device
    };

    // Header size plus pixels of a picture of `width` x `height`.
    static std::int64_t byteSize(std::int64_t width, std::int64_t height);
    // Writes the record of `picture` (converted to ARGB32 when it is not) at the device's
    // position; false when any byte could not be written.
    static bool write(QIODevice& device, const QImage& picture);
    // Walks the records from the start of the device to record `index`; nothing when a record on
    // the way is cut short or inconsistent.
    static std::optional<Header> find(QIODevice& device, int index);
    // The picture of the record whose header find() gave, or nothing when its pixels cannot be
    // read or allocated.
    static std::optional<QImage> readPixels(QIODevice& device, const Header& header);
    // find() and readPixels() together.
    static std::optional<QImage> read(QIODevice& device, int index);
};
