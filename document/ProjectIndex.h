#pragma once

#include "document/MessageSink.h"

#include <string>
#include <string_view>
#include <vector>

class LanguageTable;
class ProgramFolders;

// ProjectIndex: the list of project names that the open-project dialog offers, kept in
// "Project.vrx" in the data folder:
//   count C (i32), then C names of 260 bytes each, NUL-terminated.
// Names are compared byte for byte. Every change writes a temporary file and renames it over
// the index, so an interrupted write never loses the names already there.
class ProjectIndex {
public:
    ProjectIndex(const ProgramFolders& folders, const LanguageTable& texts, MessageSink& sink);

    // Adds a new project name: creates its folder (left in place even when the name is then
    // refused) and appends the name. "con" is stored as "conn". Refuses, with a message, names
    // that cannot name a folder and names already in the index; fails silently when the index
    // is damaged (shorter than its count says).
    bool add(std::string_view name);
    // The names as stored; a missing index or a short count gives none, a short name ends the
    // list. `whole` (when given) tells whether every name the count promises could be read.
    std::vector<std::string> names(bool* whole = nullptr) const;
    // The names whose project file exists (the open-project dialog's list). Names whose file
    // was removed are skipped here but stay in the index. `whole` as for names().
    std::vector<std::string> openableNames(bool* whole = nullptr) const;
    // Deletes the project at `position` of the dialog's list `listed` after the user agreed:
    // removes its project file (the folder stays), takes the name out of `listed` and rewrites
    // the index with `listed` in order. Without a valid position only a message is shown.
    bool remove(std::vector<std::string>& listed, int position);
    // Replaces the index by `names` in order.
    bool rewrite(const std::vector<std::string>& names) const;

private:
    void showText(int entry, MessageIcon icon) const;

    const ProgramFolders& m_folders;
    const LanguageTable& m_texts;
    MessageSink& m_sink;
};
