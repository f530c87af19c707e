#pragma once

#include "gif/CxFile.h"

#include <cstdint>
#include <limits>
#include <vector>

// CxMemFile: a CxFile held in memory. Either a growing buffer of its own (in-memory encoding;
// an optional size limit makes writes past it fail, as a full disk would) or a read-only view
// of bytes owned by the caller (decoding without a copy). Writes to a view fail and set Error.
class CxMemFile : public CxFile {
public:
    CxMemFile() = default;
    explicit CxMemFile(std::vector<std::uint8_t> bytes) : m_own(std::move(bytes)) {}
    CxMemFile(const std::uint8_t* data, std::size_t size) : m_view(data), m_viewSize(size) {}

    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override { return static_cast<std::int64_t>(m_pos); }
    std::int64_t Size() override { return static_cast<std::int64_t>(size()); }
    bool Flush() override { return !m_error; }
    bool Eof() override { return m_pos >= size(); }
    bool Error() override { return m_error; }

    // Writes that would make the data longer than this fail (and set Error).
    void setSizeLimit(std::size_t limit) { m_limit = limit; }
    const std::vector<std::uint8_t>& bytes() const { return m_own; }

private:
    std::size_t size() const { return m_view ? m_viewSize : m_own.size(); }
    const std::uint8_t* data() const { return m_view ? m_view : m_own.data(); }

    std::vector<std::uint8_t> m_own;
    const std::uint8_t* m_view = nullptr;
    std::size_t m_viewSize = 0;
    std::size_t m_pos = 0;
    std::size_t m_limit = std::numeric_limits<std::size_t>::max();
    bool m_error = false;
};
