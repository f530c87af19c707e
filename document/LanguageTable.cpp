#include "document/LanguageTable.h"

#include "document/LanguageTexts.h"
#include "document/ProgramFolders.h"

#include <QFile>
#include <QString>

#include <cstring>

LanguageTable::LanguageTable() {
    // Packing and opening the built-in texts keeps one code path for both sources.
    const std::vector<std::uint8_t> pack = LanguagePack::build(LanguageTexts::english());
    if (auto fields = LanguagePack::open(pack)) m_fields = std::move(*fields);
}

std::string_view LanguageTable::resourcePath(Language language) {
    return language == Language::Chinese ? ":/lang/IDR_CHA_LANG/403" : ":/lang/IDR_ENG_LANG/404";
}

LanguageTable LanguageTable::loadAtStart(const ProgramFolders& folders, Language language) {
    const std::string path = folders.languageFile();
    LanguageTable table;
    if (writeResourceToFile(resourcePath(language), path) && readFile(path, table)) return table;
    return LanguageTable();
}

bool LanguageTable::writeResourceToFile(std::string_view resourcePath, const std::string& path) {
    QFile resource(QString::fromUtf8(resourcePath.data(), qsizetype(resourcePath.size())));
    if (!resource.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = resource.readAll();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool LanguageTable::readFile(const std::string& path, LanguageTable& table) {
    QFile file(QString::fromStdString(path));
    // The largest pack is a few hundred kilobytes; anything bigger is not a language file.
    constexpr qint64 kLargest = 4 + qint64(LanguagePack::kMaxEntries) * LanguagePack::kFieldSize;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargest) return false;
    const QByteArray bytes = file.readAll();
    auto fields = LanguagePack::open(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    if (!fields) return false;
    table.m_fields = std::move(*fields);
    table.m_fromFile = true;
    return true;
}

std::string LanguageTable::text(int entry) const {
    if (entry < 0 || entry >= entryCount()) return {};
    const LanguagePack::Field& field = m_fields[std::size_t(entry)];
    const void* nul = std::memchr(field.data(), 0, field.size());
    const std::size_t length =
        nul ? std::size_t(static_cast<const char*>(nul) - field.data()) : field.size();
    return std::string(field.data(), length);
}
