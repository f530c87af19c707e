#include "symbols/SymbolLibraryIndex.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

#include <filesystem>

std::optional<std::vector<SymbolId>> SymbolLibraryIndex::read(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return read(file);
}

std::vector<SymbolId> SymbolLibraryIndex::read(QIODevice& device) {
    std::vector<SymbolId> ids;
    unsigned char countBytes[4];
    if (device.read(reinterpret_cast<char*>(countBytes), 4) != 4)
        return ids;
    const std::uint32_t count = std::uint32_t(countBytes[0]) | std::uint32_t(countBytes[1]) << 8 |
                                std::uint32_t(countBytes[2]) << 16 |
                                std::uint32_t(countBytes[3]) << 24;
    // Only as many ids as the file holds are taken, whatever count it states.
    const std::int64_t held = (device.size() - device.pos()) / kIdBytes;
    ids.resize(std::size_t(std::min<std::int64_t>(count, held)));
    for (SymbolId& id : ids)
        if (device.read(reinterpret_cast<char*>(id.bytes.data()), kIdBytes) != kIdBytes) {
            ids.clear();
            break;
        }
    return ids;
}

bool SymbolLibraryIndex::write(const std::string& path, const std::vector<SymbolId>& ids) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::uint32_t count = std::uint32_t(ids.size());
    const char countBytes[4] = {char(count & 0xFF), char((count >> 8) & 0xFF),
                                char((count >> 16) & 0xFF), char((count >> 24) & 0xFF)};
    if (file.write(countBytes, 4) != 4)
        return false;
    for (const SymbolId& id : ids)
        if (file.write(reinterpret_cast<const char*>(id.bytes.data()), kIdBytes) != kIdBytes)
            return false;
    // commit() does not check its own flush: a short last write (a full disk) is caught here.
    return file.flush() && file.commit();
}

bool SymbolLibraryIndex::append(const std::string& path, const SymbolId& id) {
    std::vector<SymbolId> ids;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        std::optional<std::vector<SymbolId>> existing = read(path);
        if (!existing)
            return false; // an index we cannot read is not replaced by one that lacks its ids
        ids = std::move(*existing);
    }
    ids.push_back(id);
    return write(path, ids);
}
