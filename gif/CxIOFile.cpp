#include "gif/CxIOFile.h"

std::size_t CxIOFile::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!m_fp || !buffer) return 0;
    return std::fread(buffer, size, count, m_fp);
}

std::size_t CxIOFile::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!m_fp || !buffer) return 0;
    return std::fwrite(buffer, size, count, m_fp);
}

bool CxIOFile::Seek(std::int64_t offset, int origin) {
    return m_fp && std::fseek(m_fp, static_cast<long>(offset), origin) == 0;
}

std::int64_t CxIOFile::Tell() {
    return m_fp ? std::ftell(m_fp) : -1;
}

std::int64_t CxIOFile::Size() {
    if (!m_fp) return -1;
    const long here = std::ftell(m_fp);
    if (here < 0 || std::fseek(m_fp, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(m_fp);
    std::fseek(m_fp, here, SEEK_SET);
    return size;
}

bool CxIOFile::Flush() {
    return m_fp && std::fflush(m_fp) == 0;
}

bool CxIOFile::Eof() {
    return !m_fp || std::feof(m_fp) != 0;
}

bool CxIOFile::Error() {
    return !m_fp || std::ferror(m_fp) != 0;
}

bool CxIOFile::PutC(std::uint8_t c) {
    return m_fp && std::fputc(c, m_fp) != EOF;
}

int CxIOFile::GetC() {
    if (!m_fp) return -1;
    const int c = std::fgetc(m_fp);
    return c == EOF ? -1 : c;
}
