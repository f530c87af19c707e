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

// ProjectCommands: the main window's project flows without a window: new project, open, save
// (naming an unnamed project first), open sample, edit properties, and the question about a
// modified project before it is replaced or the program ends (Yes saves, No goes on without,
// Cancel stops; a save that is cancelled or fails stops as well, so nothing is lost). Each
// pauses a running preview for its duration and changes the document only through the
// editor. Dialogs and messages go through the interfaces it is given.
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
    };
    explicit ProjectCommands(const Parts& parts);

    void setPreviewControl(PreviewControl* preview) { m_parts.preview = preview; }

    // Each returns true when the open project was replaced or saved as asked.
    bool newProject();
    bool openProject();
    bool save();
    bool editProperties();
    // Opens sample `number` (from 1) as "Sample Project <number>"; a missing sample file
    // changes nothing.
    bool openSample(int number);
    bool chooseAndOpenSample();
    // Opens a project file given by its path (the command line, a later copy of the program)
    // as the open command would; a sample file of the template folder opens as that sample.
    bool openFile(const std::string& path);
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

    Parts m_parts;
    bool m_sample = false;
};
