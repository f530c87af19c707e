#include "document/ByteWriter.h"

#include <bit>

void ByteWriter::writeU32(std::uint32_t value) {
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    writeBytes(bytes, 4);
}

void ByteWriter::writeF32(float value) {
    writeU32(std::bit_cast<std::uint32_t>(value));
}

void ByteWriter::writeBytes(const void* data, std::size_t size) {
    if (!m_ok || size == 0) return;
    const qint64 length = static_cast<qint64>(size);
    m_ok = m_device.write(static_cast<const char*>(data), length) == length;
}
