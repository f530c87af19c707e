#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// CxFile: the byte stream the GIF codec reads from and writes to. Positions are byte offsets
// from the start; Seek takes SEEK_SET / SEEK_CUR / SEEK_END. Error() stays true after a failed
// write so that a writer can check once at the end of a body.
class CxFile {
public:
    virtual ~CxFile() = default;

    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    virtual bool Seek(std::int64_t offset, int origin) = 0;
    virtual std::int64_t Tell() = 0;
    virtual std::int64_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual bool Error() = 0;

    // One byte; false when it could not be written.
    virtual bool PutC(std::uint8_t c) { return Write(&c, 1, 1) == 1; }
    // One byte as 0..255, or -1 at the end of the data.
    virtual int GetC() {
        std::uint8_t c = 0;
        return Read(&c, 1, 1) == 1 ? c : -1;
    }
};
