#pragma once

#include <string>
#include <string_view>
#include <vector>

// RecentProjects: the projects opened or saved last, most recent first, at most kMaxEntries,
// kept in "recent.txt" in the data folder so that every run of the program offers them. Each
// entry is the project's name and the full path of its file; one path is listed once. A file
// that is gone stays listed (the menu shows it disabled) until the next write, which drops it.
//
// File: one entry a line, "name<TAB>path", both percent-encoded (so any bytes survive); lines
// that do not have that shape are skipped. Written whole through a temporary file.
class RecentProjects {
public:
    static constexpr int kMaxEntries = 8;

    struct Entry {
        std::string name;
        std::string path;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    // `file`: where the list is kept (ProgramFolders::recentProjectsFile()).
    explicit RecentProjects(std::string file);

    // The list as the file holds it now; a missing or unreadable file gives none.
    std::vector<Entry> entries() const;
    // Puts `name` and `path` first (taking out an older entry of the same path), drops the
    // entries whose file is gone and those beyond kMaxEntries, and writes the file. False when
    // the file cannot be written.
    bool add(std::string_view name, std::string_view path);
    // True when the file of `entry` is there to be opened.
    static bool exists(const Entry& entry);

private:
    std::string m_file;
};
