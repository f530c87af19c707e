#include "document/ByteReader.h"

#include <bit>
#include <cstring>

ByteReader::ByteReader(QIODevice& device)
    : m_device(device), m_remaining(device.size() - device.pos()) {}

std::uint32_t ByteReader::readU32() {
    unsigned char bytes[4];
    if (!readBytes(bytes, 4)) return 0;
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

float ByteReader::readF32() {
    return std::bit_cast<float>(readU32());
}

bool ByteReader::readBytes(void* data, std::size_t size) {
    if (!m_ok || static_cast<std::uint64_t>(m_remaining) < size) {
        m_ok = false;
        std::memset(data, 0, size);
        return false;
    }
    const qint64 length = static_cast<qint64>(size);
    if (size > 0 && m_device.read(static_cast<char*>(data), length) != length) {
        m_ok = false;
        std::memset(data, 0, size);
        return false;
    }
    m_remaining -= length;
    return true;
}
