#include "app/ProjectCommands.h"

#include "dialogs/ProjectDialogs.h"
#include "document/FixedText.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/PreviewPause.h"
#include "document/ProgramFolders.h"
#include "document/ProjectEditor.h"
#include "document/ProjectIndex.h"
#include "document/ProjectStore.h"
#include "document/RecentProjects.h"

#include <algorithm>
#include <filesystem>

ProjectCommands::ProjectCommands(const Parts& parts) : m_parts(parts) {}

std::string ProjectCommands::projectName() const {
    return m_parts.editor.document().lock().project().name();
}

bool ProjectCommands::isUnnamed() const {
    return projectName() == m_parts.texts.text(kTextUnnamedProject);
}

bool ProjectCommands::nameProject() {
    const std::optional<std::string> name = m_parts.dialogs.projectName();
    // The header takes the name only once the index has it, so that a refused name never
    // becomes the project's.
    if (!name || !m_parts.index.add(*name))
        return false;
    m_parts.editor.nameProject(*name);
    return true;
}

void ProjectCommands::remember(const std::string& path) {
    if (m_parts.recent)
        m_parts.recent->add(projectName(), path);
}

bool ProjectCommands::saveProject() {
    if (isUnnamed() && !nameProject())
        return false;
    if (!m_parts.store.save(m_parts.editor))
        return false;
    remember(m_parts.folders.projectFile(projectName()));
    return true;
}

bool ProjectCommands::saveAs() {
    PreviewPause pause(m_parts.preview);
    const std::string previous = projectName();
    if (!nameProject())
        return false;
    if (!m_parts.store.save(m_parts.editor)) {
        // The project keeps the name its own file has (the new name stays in the index, as a
        // name whose project has no file; the open-project list skips it).
        m_parts.editor.nameProject(previous);
        return false;
    }
    m_sample = false; // a sample saved under a name of its own is that project now
    remember(m_parts.folders.projectFile(projectName()));
    return true;
}

bool ProjectCommands::save() {
    PreviewPause pause(m_parts.preview);
    return saveProject();
}

bool ProjectCommands::offerSave() {
    if (!m_parts.editor.document().isModified())
        return true;
    const MessageAnswer answer = m_parts.sink.show(
        m_parts.texts.text(kTextSaveModified), m_parts.texts.text(kTextProductName),
        MessageIcon::Information, MessageButtons::YesNoCancel);
    switch (answer) {
    case MessageAnswer::Yes:
        return saveProject();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool ProjectCommands::newProject() {
    PreviewPause pause(m_parts.preview);
    if (!offerSave())
        return false;
    const std::optional<ProjectProperties> properties =
        m_parts.dialogs.newProject(m_parts.editor.lastNewProjectProperties());
    if (!properties || !m_parts.index.add(properties->name))
        return false; // a refused name stops before the open project is touched
    m_parts.editor.newProject(*properties);
    m_sample = false;
    if (!m_parts.store.save(m_parts.editor))
        return false;
    remember(m_parts.folders.projectFile(properties->name));
    return true;
}

bool ProjectCommands::openProject() {
    PreviewPause pause(m_parts.preview);
    if (!offerSave())
        return false;
    const std::string current = projectName();
    const std::vector<std::string> before = m_parts.index.openableNames();
    const std::optional<std::string> chosen = m_parts.dialogs.chooseProject(current);
    if (chosen) {
        if (!m_parts.store.openByName(m_parts.editor, *chosen))
            return false;
        m_sample = false;
        remember(m_parts.folders.projectFile(*chosen));
        return true;
    }
    // Closed without choosing: when the open project was deleted in the dialog (it was
    // listed before and is not now), the unnamed project takes its place, unless it is a
    // sample, which the dialog never lists.
    const std::vector<std::string> after = m_parts.index.openableNames();
    auto listed = [&current](const std::vector<std::string>& names) {
        return std::find(names.begin(), names.end(), current) != names.end();
    };
    if (!m_sample && listed(before) && !listed(after))
        m_parts.editor.startUnnamed(m_parts.texts.text(kTextUnnamedProject));
    return false;
}

bool ProjectCommands::editProperties() {
    PreviewPause pause(m_parts.preview);
    ProjectProperties current;
    {
        auto lock = m_parts.editor.document().lock();
        const ProjectHeader& h = lock.project().header;
        current.name = lock.project().name();
        current.width = h.width;
        current.height = h.height;
        current.duration = h.duration;
        current.frameRate = h.frameRate;
        current.backgroundColor = h.backgroundColor;
        current.backgroundPicture = fixedText(h.backgroundPicture);
        current.placement = h.placement;
    }
    const std::optional<ProjectProperties> edited = m_parts.dialogs.editProperties(current);
    if (!edited)
        return false;
    m_parts.editor.editProperties(*edited);
    return true;
}

bool ProjectCommands::openSample(int number) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(m_parts.folders.sampleFile(number), error))
        return false;
    PreviewPause pause(m_parts.preview);
    if (!offerSave())
        return false;
    if (!m_parts.store.openSample(m_parts.editor, number))
        return false;
    m_sample = true;
    return true;
}

bool ProjectCommands::chooseAndOpenSample() {
    const std::optional<int> number = m_parts.dialogs.chooseSample();
    return number && openSample(*number);
}

bool ProjectCommands::openFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path wanted = std::filesystem::weakly_canonical(path, error);
    for (int number = 1;; ++number) {
        const std::string sample = m_parts.folders.sampleFile(number);
        if (!std::filesystem::is_regular_file(sample, error))
            break;
        if (std::filesystem::weakly_canonical(sample, error) == wanted)
            return openSample(number);
    }
    PreviewPause pause(m_parts.preview);
    if (!offerSave())
        return false;
    if (!m_parts.store.openFromFile(m_parts.editor, path))
        return false;
    m_sample = false;
    remember(wanted.empty() ? path : wanted.string());
    return true;
}

bool ProjectCommands::beforeExit() {
    PreviewPause pause(m_parts.preview);
    const bool goOn = offerSave();
    if (goOn)
        pause.keepStopped(); // the program ends; a stopped exit plays on
    return goOn;
}
