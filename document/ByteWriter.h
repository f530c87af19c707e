#pragma once

#include <QIODevice>

#include <cstdint>

// ByteWriter: writes little-endian numbers and raw byte fields to a device and remembers the
// first failure; once failed, later writes are skipped.
class ByteWriter {
public:
    explicit ByteWriter(QIODevice& device) : m_device(device) {}

    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeU32(std::uint32_t value);
    void writeF32(float value);
    void writeBytes(const void* data, std::size_t size);
    bool ok() const { return m_ok; }

private:
    QIODevice& m_device;
    bool m_ok = true;
};
