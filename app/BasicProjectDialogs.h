#pragma once

#include "dialogs/ProjectDialogs.h"

class LanguageTable;
class ProgramFolders;
class QWidget;

// BasicProjectDialogs: plain Qt dialogs behind the project commands: a form for new-project
// and project properties, a name prompt, a list of the indexed projects to open; the sample
// to open is sample 1 (there is no sample chooser yet).
class BasicProjectDialogs : public ProjectDialogs {
public:
    BasicProjectDialogs(QWidget* parent, const ProgramFolders& folders, const LanguageTable& texts);

    std::optional<ProjectProperties> newProject(const ProjectProperties& start) override;
    std::optional<ProjectProperties> editProperties(const ProjectProperties& current) override;
    std::optional<std::string> projectName() override;
    std::optional<std::string> chooseProject(const std::string& currentName) override;
    std::optional<int> chooseSample() override;

private:
    std::optional<ProjectProperties> propertiesForm(const ProjectProperties& start, bool isNew);

    QWidget* m_parent;
    const ProgramFolders& m_folders;
    const LanguageTable& m_texts;
};
