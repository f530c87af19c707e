#pragma once

#include <QIODevice>

#include <cstdint>

// ByteReader: reads little-endian numbers and raw byte fields from a device of known length,
// keeps count of the bytes left, and remembers the first short read; once failed, reads return
// zeros. Loaders compare counts with remaining() before allocating anything.
class ByteReader {
public:
    explicit ByteReader(QIODevice& device);

    std::int32_t readI32() { return static_cast<std::int32_t>(readU32()); }
    std::uint32_t readU32();
    float readF32();
    // Reads exactly `size` bytes into `data`; false (and the reader failed) on a short read.
    bool readBytes(void* data, std::size_t size);
    std::int64_t remaining() const { return m_remaining; }
    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }

private:
    QIODevice& m_device;
    std::int64_t m_remaining;
    bool m_ok = true;
};
