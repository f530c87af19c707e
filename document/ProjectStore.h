#pragma once

#include "document/LoadedProject.h"

#include <optional>
#include <string>
#include <string_view>

class MessageSink;
class ProgramFolders;
class ProjectEditor;

// ProjectStore: saving and loading projects in their folders under the data folder
// ("Data/<name>/<name>.vrn"), with the user messages of each failure. A save writes a
// temporary file beside the project file and renames it over the old one, so a failed save
// leaves the previous file whole. A load reads into fresh records and replaces the open
// project only when the whole file was read.
class ProjectStore {
public:
    ProjectStore(const ProgramFolders& folders, MessageSink& sink);

    // Saves the project to the file named by its header name.
    bool save(const Project& project, const EmbeddedSymbolList& symbols);
    // Saves the editor's project and, on success, tells the editor it was saved (the modified
    // flag goes off).
    bool save(ProjectEditor& editor);
    // Writes `path` through the temporary file `path` + ".saving"; false when the temporary
    // file cannot be created (*created = false) or written, synced or renamed.
    static bool writeFile(const std::string& path, const Project& project,
                          const EmbeddedSymbolList& symbols, bool* created = nullptr);

    // Loads the project of an index name. A name without folder or file fails silently.
    std::optional<LoadedProject> loadByName(std::string_view name);
    // Loads a project file given by its full path (templates, samples). A missing file fails
    // silently.
    std::optional<LoadedProject> loadFromFile(const std::string& path);

    // Load, then hand the result to the editor (which replaces the open project, its hit
    // regions and its history). On failure the open project is untouched.
    bool openByName(ProjectEditor& editor, std::string_view name);
    bool openFromFile(ProjectEditor& editor, const std::string& path);
    // Opens sample `number` (1-based) from the template folder as "Sample Project <number>".
    bool openSample(ProjectEditor& editor, int number);

    static constexpr const char* kErrorCaption = "Error";
    static constexpr const char* kCannotCreateFolder = "Failed to create directory with the name";
    static constexpr const char* kCannotCreateFile = "Failed to create file with the name";
    static constexpr const char* kCannotWriteFile = "Failed to save project";
    static constexpr const char* kCannotLoad = "Failed to load project";

private:
    std::optional<LoadedProject> loadExisting(const std::string& path);
    void fileError(const char* text);

    const ProgramFolders& m_folders;
    MessageSink& m_sink;
};
