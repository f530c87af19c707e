#pragma once

#include <string>
#include <string_view>

// ProgramFolders: the program's folders under one root (the executable's folder, or the
// user's data location when that is not writable): "Data/" for projects, the project index,
// the profile and the language file, "template/" for sample projects and "Actors/" for the
// symbol library. Every folder path ends with a separator; asking for a folder creates it
// (one level, no error report) when it is missing.
class ProgramFolders {
public:
    explicit ProgramFolders(std::string root);
    // The folders beside the running executable; an unwritable executable folder (an
    // installed copy) is replaced by the user's application data location.
    static ProgramFolders forExecutable();

    const std::string& root() const { return m_root; }
    std::string dataFolder() const;
    std::string templateFolder() const;
    std::string actorsFolder() const;

    // Data folder + "Project.vrx".
    std::string projectIndexFile() const;
    // Data folder + "lang.qld".
    std::string languageFile() const;
    // Data folder + "recent.txt": the projects opened or saved last.
    std::string recentProjectsFile() const;
    // Data folder + "Recovery/": the work autosaved by each run until it ends cleanly.
    std::string recoveryFolder() const;
    // Data folder + stored name + "/", and that folder + stored name + ".vrn". The stored name
    // is projectStorageName(name).
    std::string projectFolder(std::string_view name) const;
    std::string projectFile(std::string_view name) const;
    // Template folder + "template_<number>.vrn" (samples are numbered from 1).
    std::string sampleFile(int number) const;

    // The name a project's folder, file and index entry use: "con" becomes "conn" (a device
    // name on the system the format comes from); every other name is used as it stands.
    static std::string projectStorageName(std::string_view name);
    // True when `name` can name a project folder inside the data folder: not empty, at most
    // 259 bytes (the name field holds 260 with its NUL), no "/" or "\", no NUL, not "." or "..".
    static bool isValidProjectName(std::string_view name);

private:
    std::string folder(std::string_view literal) const;

    std::string m_root;             // ends without a separator
    std::string m_bundledTemplates; // the installed samples' folder, when they are used
};
