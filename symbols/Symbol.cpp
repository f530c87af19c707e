#include "symbols/Symbol.h"

#include "symbols/SymbolFrame.h"

#include <QFile>
#include <QSaveFile>

namespace {

// Reads a little-endian u32; false at the end of the device.
bool readU32(QIODevice& device, std::uint32_t& value) {
    unsigned char bytes[4];
    if (device.read(reinterpret_cast<char*>(bytes), 4) != 4)
        return false;
    value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24;
    return true;
}

bool writeU32(QIODevice& device, std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char((value >> 24) & 0xFF)};
    return device.write(bytes, 4) == 4;
}

std::int64_t remaining(const QIODevice& device) {
    return device.size() - device.pos();
}

// Reads the record header at the device's position and leaves the device at the record's
// PNG data; false when the header or the PNG data it announces runs past the end.
bool readRecordHeader(QIODevice& device, Symbol::FrameRecord& record) {
    if (!readU32(device, record.pngBytes) || !readU32(device, record.width) ||
        !readU32(device, record.height))
        return false;
    record.pngOffset = device.pos();
    return std::int64_t(record.pngBytes) <= remaining(device);
}

// Walks the records after the count; `visit` sees each whole one. Each record takes at least
// its 12-byte header, so the file's length bounds the walk whatever count the file states.
template <typename Visit> void walkRecords(QIODevice& device, std::uint32_t count, Visit visit) {
    for (std::uint32_t i = 0; i < count; ++i) {
        Symbol::FrameRecord record;
        if (!readRecordHeader(device, record) ||
            !device.seek(record.pngOffset + std::int64_t(record.pngBytes)))
            return;
        visit(record);
    }
}

} // namespace

std::string Symbol::fileName(const std::string& folder, const SymbolId& id) {
    return folder + id.toHex() + ".sbl";
}

std::optional<Symbol::Contents> Symbol::readContents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readContents(file);
}

std::optional<Symbol::Contents> Symbol::readContents(QIODevice& device) {
    Contents contents;
    if (!readU32(device, contents.storedCount))
        return std::nullopt;
    walkRecords(device, contents.storedCount,
                [&](const FrameRecord& record) { contents.frames.push_back(record); });
    return contents;
}

std::optional<std::uint32_t> Symbol::countFrames(const std::string& path) {
    QFile file(QString::fromStdString(path));
    std::uint32_t stored = 0;
    if (!file.open(QIODevice::ReadOnly) || !readU32(file, stored))
        return std::nullopt;
    std::uint32_t whole = 0;
    walkRecords(file, stored, [&](const FrameRecord&) { ++whole; });
    return whole;
}

QImage Symbol::loadFrame(const std::string& path, std::uint32_t index) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return loadFrame(file, index);
}

QImage Symbol::loadFrame(QIODevice& device, std::uint32_t index) {
    std::uint32_t count = 0;
    if (!readU32(device, count) || index >= count)
        return {};
    std::uint32_t skipped = 0;
    walkRecords(device, index, [&](const FrameRecord&) { ++skipped; });
    FrameRecord record;
    if (skipped != index || !readRecordHeader(device, record))
        return {};
    const QByteArray png = device.read(record.pngBytes);
    if (png.size() != qsizetype(record.pngBytes))
        return {};
    return SymbolFrame::decode(png, record.width, record.height);
}

bool Symbol::write(QIODevice& device, const std::vector<QImage>& frames,
                   const std::function<void(int)>& progress) {
    const std::uint32_t count = std::uint32_t(frames.size());
    if (!writeU32(device, count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const QByteArray png = SymbolFrame::encode(frames[i]);
        if (png.isEmpty())
            return false;
        if (!writeU32(device, std::uint32_t(png.size())) ||
            !writeU32(device, std::uint32_t(frames[i].width())) ||
            !writeU32(device, std::uint32_t(frames[i].height())) || device.write(png) != png.size())
            return false;
        if (progress)
            progress(int((std::uint64_t(i) + 1) * 100 / count));
    }
    return true;
}

bool Symbol::writeFile(const std::string& path, const std::vector<QImage>& frames,
                       const std::function<void(int)>& progress) {
    // QSaveFile writes "<name>.XXXXXX" beside the file, syncs it and renames it over the old
    // one on commit; a failed write removes it and leaves the old file untouched.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The last buffered bytes are written by an explicit flush: commit() would rename a file
    // whose final write came up short (a full disk) as if it were complete.
    if (!write(file, frames, progress) || !file.flush())
        return false; // the unfinished temporary file goes with `file`
    return file.commit();
}
