#include "document/RecentProjects.h"

#include "document/AtomicFile.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <filesystem>

namespace {

QByteArray encoded(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size())).toPercentEncoding();
}

std::string decoded(const QByteArray& field) {
    return QByteArray::fromPercentEncoding(field).toStdString();
}

} // namespace

RecentProjects::RecentProjects(std::string file) : m_file(std::move(file)) {}

std::vector<RecentProjects::Entry> RecentProjects::entries() const {
    QFile file(QString::fromStdString(m_file));
    std::vector<Entry> list;
    if (!file.open(QIODevice::ReadOnly))
        return list;
    // Percent-encoding leaves no tab, line break or NUL inside a field.
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 2 || fields[1].isEmpty())
            continue;
        Entry entry{decoded(fields[0]), decoded(fields[1])};
        const bool listed = std::any_of(list.begin(), list.end(),
                                        [&entry](const Entry& e) { return e.path == entry.path; });
        if (!listed && int(list.size()) < kMaxEntries)
            list.push_back(std::move(entry));
    }
    return list;
}

bool RecentProjects::exists(const Entry& entry) {
    std::error_code error;
    return std::filesystem::is_regular_file(entry.path, error);
}

bool RecentProjects::add(std::string_view name, std::string_view path) {
    std::vector<Entry> list{Entry{std::string(name), std::string(path)}};
    for (Entry& entry : entries())
        if (entry.path != path && exists(entry) && int(list.size()) < kMaxEntries)
            list.push_back(std::move(entry));
    QByteArray bytes;
    for (const Entry& entry : list)
        bytes += encoded(entry.name) + '\t' + encoded(entry.path) + '\n';
    return AtomicFile::replace(m_file, bytes);
}
