#include "symbols/SymbolLibrary.h"

#include "symbols/FitSize.h"
#include "symbols/Symbol.h"
#include "symbols/SymbolLibraryIndex.h"

#include <filesystem>

namespace {

bool ensureFolder(const std::string& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

} // namespace

SymbolLibrary::SymbolLibrary(std::string folder) : m_folder(std::move(folder)) {
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
}

std::string SymbolLibrary::indexPath() const {
    return m_folder + SymbolLibraryIndex::kFileName;
}

std::string SymbolLibrary::symbolPath(const SymbolId& id) const {
    return Symbol::fileName(m_folder, id);
}

void SymbolLibrary::load() {
    m_entries.clear();
    m_current = -1;
    m_orderChanged = false;
    m_cache.clear();
    const std::optional<std::vector<SymbolId>> ids = SymbolLibraryIndex::read(indexPath());
    if (!ids)
        return;
    for (const SymbolId& id : *ids) {
        const std::string path = symbolPath(id);
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            continue;
        SymbolEntry entry;
        entry.id = id;
        entry.frameCount = Symbol::countFrames(path).value_or(0);
        m_entries.push_back(entry);
    }
}

bool SymbolLibrary::saveIndex() {
    if (!ensureFolder(m_folder))
        return false;
    std::vector<SymbolId> ids;
    ids.reserve(m_entries.size());
    for (const SymbolEntry& entry : m_entries)
        ids.push_back(entry.id);
    if (!SymbolLibraryIndex::write(indexPath(), ids))
        return false;
    m_orderChanged = false;
    return true;
}

std::optional<SymbolId> SymbolLibrary::currentSymbol() const {
    if (m_current < 0)
        return std::nullopt;
    return at(m_current).id;
}

void SymbolLibrary::selectIndex(int index) {
    if (index < 0 || index >= count())
        return;
    clearSelection();
    m_entries[std::size_t(index)].selected = true;
    m_current = index;
}

void SymbolLibrary::setCurrent(int index) {
    m_current = index >= 0 && index < count() ? index : -1;
}

void SymbolLibrary::setSelected(int index, bool selected) {
    if (index >= 0 && index < count())
        m_entries[std::size_t(index)].selected = selected;
}

void SymbolLibrary::clearSelection() {
    for (SymbolEntry& entry : m_entries)
        entry.selected = false;
}

void SymbolLibrary::selectAll() {
    for (SymbolEntry& entry : m_entries)
        entry.selected = true;
}

bool SymbolLibrary::hasSelection() const {
    for (const SymbolEntry& entry : m_entries)
        if (entry.selected)
            return true;
    return false;
}

int SymbolLibrary::moveSymbol(int from, int target, bool after) {
    if (from < 0 || from >= count() || target < 0 || target >= count())
        return from;
    int insert = after ? target + 1 : target;
    // Taking the symbol out first moves every later position one place forward.
    if (from < insert)
        --insert;
    if (insert == from)
        return from;
    const SymbolEntry moved = m_entries[std::size_t(from)];
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + insert, moved);
    m_orderChanged = true;
    return insert;
}

int SymbolLibrary::deleteSelected() {
    int removed = 0;
    for (std::size_t i = 0; i < m_entries.size();) {
        if (!m_entries[i].selected) {
            ++i;
            continue;
        }
        // The position just emptied is looked at again: the next symbol has moved into it.
        std::error_code error;
        std::filesystem::remove(symbolPath(m_entries[i].id), error);
        m_entries.erase(m_entries.begin() + std::ptrdiff_t(i));
        if (m_current == int(i))
            m_current = -1;
        else if (m_current > int(i))
            --m_current;
        ++removed;
    }
    if (removed > 0)
        saveIndex();
    return removed;
}

QImage SymbolLibrary::loadFrame(const SymbolId& id, std::uint32_t frame) const {
    return Symbol::loadFrame(symbolPath(id), frame);
}

std::vector<QImage> SymbolLibrary::loadAllFrames(int index) const {
    std::vector<QImage> frames;
    if (index < 0 || index >= count())
        return frames;
    const SymbolEntry& entry = at(index);
    for (std::uint32_t frame = 0; frame < entry.frameCount; ++frame) {
        QImage picture = loadFrame(entry.id, frame);
        if (picture.isNull())
            return {};
        frames.push_back(std::move(picture));
    }
    return frames;
}

QImage SymbolLibrary::nextThumbnail(int index, QSize box) {
    if (index < 0 || index >= count())
        return {};
    SymbolEntry& entry = m_entries[std::size_t(index)];
    if (entry.frameCount == 0)
        return {};
    const std::uint32_t frame = entry.cursor < entry.frameCount ? entry.cursor : 0;
    entry.cursor = frame + 1 < entry.frameCount ? frame + 1 : 0;
    if (m_cacheEnabled)
        if (std::optional<QImage> known = m_cache.find(entry.id, frame))
            return *known;
    const QImage thumbnail = fitted(loadFrame(entry.id, frame), box);
    if (m_cacheEnabled)
        m_cache.store(entry.id, frame, thumbnail);
    return thumbnail;
}

void SymbolLibrary::setThumbnailCache(bool enabled) {
    m_cacheEnabled = enabled;
    if (!enabled)
        m_cache.clear();
}

std::optional<SymbolId> SymbolLibrary::addSymbol(const std::string& folder,
                                                 const std::vector<QImage>& frames,
                                                 const std::function<void(int)>& progress) {
    const SymbolLibrary library(folder);
    if (frames.empty() || !ensureFolder(library.folder()))
        return std::nullopt;
    SymbolId id = SymbolId::create();
    std::error_code error;
    while (std::filesystem::exists(library.symbolPath(id), error))
        id = SymbolId::create();
    if (!Symbol::writeFile(library.symbolPath(id), frames, progress))
        return std::nullopt;
    if (!SymbolLibraryIndex::append(library.indexPath(), id)) {
        // No index entry names the file: it would only take room.
        std::filesystem::remove(library.symbolPath(id), error);
        return std::nullopt;
    }
    return id;
}

bool SymbolLibrary::writeSymbol(const std::string& folder, const SymbolId& id,
                                const std::vector<QImage>& frames,
                                const std::function<void(int)>& progress) {
    const SymbolLibrary library(folder);
    if (frames.empty() || !ensureFolder(library.folder()))
        return false;
    return Symbol::writeFile(library.symbolPath(id), frames, progress);
}

QImage SymbolLibrary::fitted(const QImage& frame, QSize box) {
    if (frame.isNull())
        return {};
    const QSize size = FitSize::fit(frame.size(), box);
    if (size.isEmpty())
        return {};
    if (size == frame.size())
        return frame;
    return frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
