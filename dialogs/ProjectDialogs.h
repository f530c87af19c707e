#pragma once

#include "document/ProjectEditor.h"

#include <optional>
#include <string>

// ProjectDialogs: the dialogs the main window's project commands ask (new project and its
// properties, a name for an unnamed project, the project to open, the sample to open). The
// window calls them through this interface so that tests can answer them.
class ProjectDialogs {
public:
    virtual ~ProjectDialogs() = default;
    // The properties of a new project, starting from `start`; nothing when cancelled.
    virtual std::optional<ProjectProperties> newProject(const ProjectProperties& start) = 0;
    // The edited properties of the open project (its name shown, not changed).
    virtual std::optional<ProjectProperties> editProperties(const ProjectProperties& current) = 0;
    // A name for the unnamed project about to be saved.
    virtual std::optional<std::string> projectName() = 0;
    // The project to open, from the index; nothing when the dialog is closed otherwise.
    // `currentName` is the open project's name.
    virtual std::optional<std::string> chooseProject(const std::string& currentName) = 0;
    // The sample to open (numbered from 1); nothing when cancelled.
    virtual std::optional<int> chooseSample() = 0;
};
