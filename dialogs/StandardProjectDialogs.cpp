#include "dialogs/StandardProjectDialogs.h"

#include "dialogs/OpenProjectDialog.h"
#include "dialogs/ProjectNameDialog.h"
#include "dialogs/ProjectPropertiesDialog.h"
#include "dialogs/TemplateChooserDialog.h"
#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"

StandardProjectDialogs::StandardProjectDialogs(QWidget* parent, const ProgramFolders& folders,
                                               const LanguageTable& texts, MessageSink& sink,
                                               FileChooser& files)
    : m_parent(parent), m_folders(folders), m_texts(texts), m_sink(sink), m_files(files) {}

std::optional<ProjectProperties>
StandardProjectDialogs::newProject(const ProjectProperties& start) {
    ProjectProperties values;
    values.width = start.width;
    values.height = start.height;
    values.duration = start.duration;
    values.frameRate = start.frameRate;
    ProjectPropertiesDialog dialog(ProjectPropertiesDialog::Mode::NewProject, values, QString(),
                                   m_texts, m_sink, m_files, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

std::optional<ProjectProperties>
StandardProjectDialogs::editProperties(const ProjectProperties& current) {
    ProjectPropertiesDialog dialog(ProjectPropertiesDialog::Mode::Properties, current,
                                   QString::fromStdString(m_texts.text(kTextAnimationProperties)),
                                   m_texts, m_sink, m_files, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

std::optional<std::string> StandardProjectDialogs::projectName() {
    ProjectNameDialog dialog(m_texts, m_sink, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.name();
}

std::optional<std::string> StandardProjectDialogs::chooseProject(const std::string&) {
    OpenProjectDialog dialog(m_folders, m_texts, m_sink, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenName();
}

std::optional<int> StandardProjectDialogs::chooseSample() {
    TemplateChooserDialog dialog(m_folders.templateFolder(), m_texts, m_sink, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenIndex() + 1;
}
