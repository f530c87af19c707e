#include "document/ProjectIndex.h"

#include "document/AtomicFile.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProgramFolders.h"

#include <QFile>

#include <cstring>
#include <filesystem>
#include <optional>

namespace {

constexpr std::size_t kNameSize = 260;

std::string nameOfField(const char* field) {
    const void* nul = std::memchr(field, 0, kNameSize);
    return std::string(field, nul ? std::size_t(static_cast<const char*>(nul) - field) : kNameSize);
}

void appendI32(QByteArray& bytes, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const char le[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    bytes.append(le, 4);
}

std::int32_t i32At(const QByteArray& bytes, qsizetype offset) {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= std::uint32_t(static_cast<unsigned char>(bytes[offset + k])) << (8 * k);
    return static_cast<std::int32_t>(v);
}

void appendName(QByteArray& bytes, std::string_view name) {
    char field[kNameSize] = {};
    std::memcpy(field, name.data(), std::min(name.size(), kNameSize - 1));
    bytes.append(field, kNameSize);
}

// The whole index file, or nothing when it does not exist or cannot be read.
std::optional<QByteArray> readIndex(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

ProjectIndex::ProjectIndex(const ProgramFolders& folders, const LanguageTable& texts,
                           MessageSink& sink)
    : m_folders(folders), m_texts(texts), m_sink(sink) {}

void ProjectIndex::showText(int entry, MessageIcon icon) const {
    m_sink.show(m_texts.text(entry), m_texts.text(kTextProductName), icon);
}

bool ProjectIndex::add(std::string_view requested) {
    if (!ProgramFolders::isValidProjectName(requested)) {
        showText(kTextBadProjectName, MessageIcon::Exclamation);
        return false;
    }
    const std::string name = ProgramFolders::projectStorageName(requested);
    const std::string folder = m_folders.projectFolder(name);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) &&
        !std::filesystem::create_directory(folder, error)) {
        showText(kTextBadProjectName, MessageIcon::Exclamation);
        return false;
    }

    const std::string path = m_folders.projectIndexFile();
    QByteArray bytes;
    if (std::optional<QByteArray> existing = readIndex(path)) {
        bytes = std::move(*existing);
        if (bytes.size() < 4)
            return false;
        const std::int32_t count = i32At(bytes, 0);
        if (count < 0 || (bytes.size() - 4) / qsizetype(kNameSize) < count)
            return false;
        for (std::int32_t i = 0; i < count; ++i) {
            if (nameOfField(bytes.constData() + 4 + qsizetype(i) * kNameSize) == name) {
                showText(kTextProjectExists, MessageIcon::Exclamation);
                return false;
            }
        }
        // C + 1 at offset 0, everything after it kept, the new name appended at the end.
        QByteArray updated;
        appendI32(updated, count + 1);
        updated.append(bytes.constData() + 4, bytes.size() - 4);
        bytes = std::move(updated);
    } else {
        appendI32(bytes, 1);
    }
    appendName(bytes, name);
    return AtomicFile::replace(path, bytes);
}

std::vector<std::string> ProjectIndex::names(bool* whole) const {
    std::vector<std::string> result;
    if (whole)
        *whole = true;
    std::optional<QByteArray> bytes = readIndex(m_folders.projectIndexFile());
    if (!bytes)
        return result;
    if (bytes->size() < 4) {
        if (whole)
            *whole = false;
        return result;
    }
    const std::int32_t count = i32At(*bytes, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        const qsizetype offset = 4 + qsizetype(i) * kNameSize;
        if (offset + qsizetype(kNameSize) > bytes->size()) {
            if (whole)
                *whole = false;
            break;
        }
        result.push_back(nameOfField(bytes->constData() + offset));
    }
    return result;
}

std::vector<std::string> ProjectIndex::openableNames(bool* whole) const {
    std::vector<std::string> result;
    for (std::string& name : names(whole)) {
        std::error_code error;
        if (ProgramFolders::isValidProjectName(name) &&
            std::filesystem::is_regular_file(m_folders.projectFile(name), error))
            result.push_back(std::move(name));
    }
    return result;
}

bool ProjectIndex::remove(std::vector<std::string>& listed, int position) {
    if (position < 0 || position >= int(listed.size())) {
        showText(kTextSelectProjectToDelete, MessageIcon::Exclamation);
        return false;
    }
    if (m_sink.show(m_texts.text(kTextConfirmDelete), m_texts.text(kTextProductName),
                    MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    const std::string name = listed[std::size_t(position)];
    if (ProgramFolders::isValidProjectName(name)) {
        std::error_code error;
        std::filesystem::remove(m_folders.projectFile(name), error);
    }
    listed.erase(listed.begin() + position);
    return rewrite(listed);
}

bool ProjectIndex::rewrite(const std::vector<std::string>& names) const {
    QByteArray bytes;
    appendI32(bytes, static_cast<std::int32_t>(names.size()));
    for (const std::string& name : names)
        appendName(bytes, name);
    return AtomicFile::replace(m_folders.projectIndexFile(), bytes);
}
