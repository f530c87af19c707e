#pragma once

#include <string>

class LanguageTable;
class MessageSink;
class PreviewControl;
class ProgramFolders;
class ProjectDialogs;
class ProjectEditor;
class ProjectIndex;
class ProjectStore;
class RecentProjects;

// ProjectCommands: the main window's project flows without a window: new project, open, save
// (naming an unnamed project first), open sample, edit properties, and the question about a
// modified project before it is replaced or the program ends (Yes saves, No goes on without,
// Cancel stops; a save that is cancelled or fails stops as well, so nothing is lost). Each
// pauses a running preview for its duration and changes the document only through the
// editor. Dialogs and messages go through the interfaces it is given. Every project opened or
// saved joins the recent projects (when given one); samples are templates and never join.
class ProjectCommands {
public:
    struct Parts {
        ProjectEditor& editor;
        ProjectStore& store;
        ProjectIndex& index;
        ProjectDialogs& dialogs;
        MessageSink& sink;
        const LanguageTable& texts;
        const ProgramFolders& folders;
        PreviewControl* preview = nullptr;
        RecentProjects* recent = nullptr;
    };
    explicit ProjectCommands(const Parts& parts);

    void setPreviewControl(PreviewControl* preview) { m_parts.preview = preview; }

    // Each returns true when the open project was replaced or saved as asked.
    bool newProject();
    bool openProject();
    bool save();
    // Save As: asks a new name and saves the open project as a new project of that name (its
    // own folder and file, the name added to the index as for a new project); the file under
    // the old name stays as it was. A refused name or a failed save keeps the old name.
    bool saveAs();
    bool editProperties();
    // Opens sample `number` (from 1) as "Sample Project <number>"; a missing sample file
    // changes nothing.
    bool openSample(int number);
    bool chooseAndOpenSample();
    // Opens a project file given by its path (the command line, a later copy of the program)
    // as the open command would; a sample file of the template folder opens as that sample.
    bool openFile(const std::string& path);
    // Opens a project of the recent list by the path of its file, as openFile() does.
    bool openRecent(const std::string& path) { return openFile(path); }
    // Before the program ends: a modified project is offered for saving (named first when it
    // has no name yet). Nothing is saved without asking. False when the exit is to stop (the
    // question was cancelled, or the save was cancelled or failed).
    bool beforeExit();

    // The open project came from a sample (cleared by new project and open).
    bool isSampleProject() const { return m_sample; }
    // The open project still carries the placeholder name of an unnamed project.
    bool isUnnamed() const;

private:
    // Asks whether to save a modified project first and saves it on yes. False when the
    // caller must stop: the question was cancelled, or naming or saving failed.
    bool offerSave();
    // Saves the open project (named first when unnamed) and clears its modified flag.
    bool saveProject();
    // Gives an unnamed project a name: dialog, index entry, then the header. False when
    // cancelled or refused.
    bool nameProject();
    std::string projectName() const;
    // Notes the open project, just opened or saved as `path`, in the recent projects.
    void remember(const std::string& path);

    Parts m_parts;
    bool m_sample = false;
};
