#include "import/CxImageJPG.h"

#include "gif/CxFile.h"
#include "import/MagickReader.h"

#include <QByteArray>

namespace {
// EXIF sits in the first 64 KiB of a JPEG; reading a little more lets the library see the
// frame header that follows it. A stream longer than this is read only this far.
constexpr std::int64_t kExifReadLimit = 1 << 20;
} // namespace

bool CxImageJPG::DecodeExif(CxFile* hFile) {
    m_exif = ExifInfo{};
    if (!hFile || !hFile->Seek(0, SEEK_SET))
        return false;
    const std::int64_t size = hFile->Size();
    if (size <= 0)
        return false;
    QByteArray bytes(static_cast<qsizetype>(std::min(size, kExifReadLimit)), '\0');
    const std::size_t got = hFile->Read(bytes.data(), 1, static_cast<std::size_t>(bytes.size()));
    bytes.truncate(static_cast<qsizetype>(got));
    return MagickReader::readExif(bytes, m_exif);
}
