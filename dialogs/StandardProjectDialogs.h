#pragma once

#include "dialogs/ProjectDialogs.h"

class FileChooser;
class LanguageTable;
class MessageSink;
class ProgramFolders;
class QWidget;

// StandardProjectDialogs: the program's own project dialogs behind the project commands:
// the properties dialog in its two modes, the name dialog for a first save, the open-project
// dialog and the template chooser. Messages go to `sink`, file choices to `files`.
class StandardProjectDialogs : public ProjectDialogs {
public:
    StandardProjectDialogs(QWidget* parent, const ProgramFolders& folders,
                           const LanguageTable& texts, MessageSink& sink, FileChooser& files);

    // Opens with the size, duration and frame rate of `start` (the last new project's) and
    // the dialog's own defaults for the rest: no name, white, no picture, centred.
    std::optional<ProjectProperties> newProject(const ProjectProperties& start) override;
    std::optional<ProjectProperties> editProperties(const ProjectProperties& current) override;
    std::optional<std::string> projectName() override;
    std::optional<std::string> chooseProject(const std::string& currentName) override;
    // The template chooser's choice as a sample number (the first template is sample 1).
    std::optional<int> chooseSample() override;

private:
    QWidget* m_parent;
    const ProgramFolders& m_folders;
    const LanguageTable& m_texts;
    MessageSink& m_sink;
    FileChooser& m_files;
};
