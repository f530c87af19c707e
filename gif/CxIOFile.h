#pragma once

#include "gif/CxFile.h"

#include <cstdio>

// CxIOFile: a CxFile over a standard FILE stream owned by the caller. The wrapper never closes
// the stream, so a caller can keep writing to it after the codec is done.
class CxIOFile : public CxFile {
public:
    explicit CxIOFile(std::FILE* fp) : m_fp(fp) {}

    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    std::int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    bool Error() override;
    bool PutC(std::uint8_t c) override;
    int GetC() override;

    std::FILE* stream() const { return m_fp; }

private:
    std::FILE* m_fp;
};
