#pragma once

#include "app/CommandId.h"

#include <array>
#include <string>
#include <vector>

class LanguageTable;

// What a command does: the one action behind its menu item and its button.
enum class CommandAction {
    None,
    NewProject,
    OpenProject,
    OpenSample,
    Save,
    SaveAs,
    RecentProjects,
    Copy,
    Paste,
    Delete,
    AppendLiner,
    AppendGuideLine,
    DeleteMotion,
    Undo,
    Redo,
    LayerToFront,
    LayerToBack,
    LayerForward,
    LayerBackward,
    FirstFrame,
    PreviousFrame,
    Preview,
    NextFrame,
    LastFrame,
    Properties,
    ExportMenu,
    Export,       // one of the formats with a command of their own (ExportFormats::byCommand)
    ExportChosen, // the export dialog
    Exit,
    Minimise,
    MaximiseRestore,
    Help,
    About,
    InsertSymbol,
    EditSymbol,
    LibraryCommand,
    NewSymbol,
    FileMenu,
    EditMenu,
    PlayMenu,
    HelpMenu,
};

// One entry of a popup menu: a command with its text, or a separator.
struct MenuItem {
    CommandId id = CommandId::None;
    std::string text;
    bool enabled = true;

    bool isSeparator() const { return id == CommandId::None; }
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// CommandTable: the main window's commands without a window: which action each identifier
// runs, the texts of menu items and toolbar tooltips (language table entries or the program's
// own English texts; an item whose command has a key names it), the toolbar's buttons left to
// right, and the six popup menus in order. The Recent Projects item stands for a submenu that
// the window fills with the projects opened or saved last.
class CommandTable {
public:
    explicit CommandTable(const LanguageTable& texts);

    static CommandAction actionOf(CommandId id);
    // The toolbar's 22 buttons left to right, in groups of 3, 3, 3, 2, 4, 5 and 2.
    static const std::array<CommandId, 22>& toolbar();
    // The 0-based toolbar positions after which a group ends.
    static constexpr std::array<int, 6> kGroupEnds{2, 5, 8, 10, 14, 19};

    std::string menuText(CommandId id) const;
    // The tooltip of toolbar button `id`; the preview button's changes while a preview runs.
    std::string tooltip(CommandId id, bool previewRunning) const;

    std::vector<MenuItem> fileMenu() const;
    std::vector<MenuItem> editMenu() const;
    std::vector<MenuItem> playMenu(bool previewRunning) const;
    std::vector<MenuItem> helpMenu() const;
    std::vector<MenuItem> exportMenu() const;
    // The stage's object menu (UM_SHOW_MENU with 1).
    std::vector<MenuItem> objectMenu() const;
    // The main context menu (UM_SHOW_MENU with 0).
    std::vector<MenuItem> contextMenu(bool previewRunning) const;

private:
    // The project commands that open the file menu and the context menu, then a separator.
    std::vector<MenuItem> projectItems() const;
    std::string entry(int number) const;
    MenuItem item(CommandId id) const;
    MenuItem item(CommandId id, std::string text, bool enabled = true) const;

    const LanguageTable& m_texts;
};
