#include "gif/CxMemFile.h"

#include <cstring>

std::size_t CxMemFile::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!buffer || size == 0 || m_pos >= this->size()) return 0;
    const std::size_t available = this->size() - m_pos;
    const std::size_t items = count < available / size ? count : available / size;
    std::memcpy(buffer, data() + m_pos, items * size);
    m_pos += items * size;
    return items;
}

std::size_t CxMemFile::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!buffer || size == 0 || count == 0) return 0;
    if (m_view || count > (m_limit - (m_limit < m_pos ? m_limit : m_pos)) / size) {
        m_error = true;
        return 0;
    }
    const std::size_t bytes = size * count;
    if (m_pos + bytes > m_own.size()) m_own.resize(m_pos + bytes);
    std::memcpy(m_own.data() + m_pos, buffer, bytes);
    m_pos += bytes;
    return count;
}

bool CxMemFile::Seek(std::int64_t offset, int origin) {
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<std::int64_t>(m_pos);
    else if (origin == SEEK_END)
        base = static_cast<std::int64_t>(size());
    else if (origin != SEEK_SET)
        return false;
    const std::int64_t target = base + offset;
    if (target < 0) return false;
    m_pos = static_cast<std::size_t>(target);
    return true;
}
