#include "app/CommandTable.h"

#include "document/LanguageTable.h"
#include "export/ExportFormat.h"

#include <utility>

namespace {

struct Pair {
    CommandId menu;
    CommandId button;
    CommandAction action;
};

// Every command with its menu identifier, its button identifier (None when it has none) and
// its action.
constexpr Pair kCommands[] = {
    {CommandId::NewProject, CommandId::NewProjectButton, CommandAction::NewProject},
    {CommandId::OpenProject, CommandId::OpenProjectButton, CommandAction::OpenProject},
    {CommandId::OpenSample, CommandId::None, CommandAction::OpenSample},
    {CommandId::Save, CommandId::SaveButton, CommandAction::Save},
    {CommandId::SaveAs, CommandId::None, CommandAction::SaveAs},
    {CommandId::RecentProjects, CommandId::None, CommandAction::RecentProjects},
    {CommandId::Copy, CommandId::CopyButton, CommandAction::Copy},
    {CommandId::Paste, CommandId::PasteButton, CommandAction::Paste},
    {CommandId::Delete, CommandId::DeleteButton, CommandAction::Delete},
    {CommandId::AppendLiner, CommandId::AppendLinerButton, CommandAction::AppendLiner},
    {CommandId::AppendGuideLine, CommandId::AppendGuideLineButton, CommandAction::AppendGuideLine},
    {CommandId::DeleteMotion, CommandId::DeleteMotionButton, CommandAction::DeleteMotion},
    {CommandId::Undo, CommandId::UndoButton, CommandAction::Undo},
    {CommandId::Redo, CommandId::RedoButton, CommandAction::Redo},
    {CommandId::LayerToFront, CommandId::LayerToFrontButton, CommandAction::LayerToFront},
    {CommandId::LayerToBack, CommandId::LayerToBackButton, CommandAction::LayerToBack},
    {CommandId::LayerForward, CommandId::LayerForwardButton, CommandAction::LayerForward},
    {CommandId::LayerBackward, CommandId::LayerBackwardButton, CommandAction::LayerBackward},
    {CommandId::FirstFrame, CommandId::FirstFrameButton, CommandAction::FirstFrame},
    {CommandId::PreviousFrame, CommandId::PreviousFrameButton, CommandAction::PreviousFrame},
    {CommandId::Preview, CommandId::PreviewButton, CommandAction::Preview},
    {CommandId::NextFrame, CommandId::NextFrameButton, CommandAction::NextFrame},
    {CommandId::LastFrame, CommandId::LastFrameButton, CommandAction::LastFrame},
    {CommandId::Properties, CommandId::PropertiesButton, CommandAction::Properties},
    {CommandId::ExportMenu, CommandId::ExportMenuButton, CommandAction::ExportMenu},
    {CommandId::ExportGif, CommandId::None, CommandAction::Export},
    {CommandId::ExportSwf, CommandId::None, CommandAction::Export},
    {CommandId::ExportAvi, CommandId::None, CommandAction::Export},
    {CommandId::ExportChosen, CommandId::None, CommandAction::ExportChosen},
    {CommandId::Exit, CommandId::ExitButton, CommandAction::Exit},
    {CommandId::Minimise, CommandId::None, CommandAction::Minimise},
    {CommandId::MaximiseRestore, CommandId::None, CommandAction::MaximiseRestore},
    {CommandId::Help, CommandId::HelpButton, CommandAction::Help},
    {CommandId::About, CommandId::None, CommandAction::About},
    {CommandId::InsertSymbol, CommandId::None, CommandAction::InsertSymbol},
    {CommandId::EditSymbol, CommandId::None, CommandAction::EditSymbol},
    {CommandId::LibraryCommand, CommandId::None, CommandAction::LibraryCommand},
    {CommandId::NewSymbol, CommandId::None, CommandAction::NewSymbol},
    {CommandId::FileMenu, CommandId::FileMenuButton, CommandAction::FileMenu},
    {CommandId::EditMenu, CommandId::EditMenuButton, CommandAction::EditMenu},
    {CommandId::PlayMenu, CommandId::PlayMenuButton, CommandAction::PlayMenu},
    {CommandId::HelpMenu, CommandId::HelpMenuButton, CommandAction::HelpMenu},
};

// Language table entries of the texts that come from it.
enum : int {
    kHelp = 23,
    kAbout = 24,
    kNew = 25,
    kOpen = 26,
    kSave = 27,
    kExit = 28,
    kDelete = 29,
    kUndo = 30,
    kRedo = 31,
    kToFront = 32,
    kToBack = 33,
    kForward = 34,
    kBackward = 35,
    kProperties = 36,
    kFirst = 37,
    kPrevious = 38,
    kPreview = 39,
    kStopPreview = 40,
    kNext = 41,
    kLast = 42,
    kExport = 43,
};

} // namespace

CommandTable::CommandTable(const LanguageTable& texts) : m_texts(texts) {}

CommandAction CommandTable::actionOf(CommandId id) {
    for (const Pair& pair : kCommands)
        if (pair.menu == id || (pair.button == id && id != CommandId::None))
            return pair.action;
    return CommandAction::None;
}

const std::array<CommandId, 22>& CommandTable::toolbar() {
    static constexpr std::array<CommandId, 22> kButtons{
        CommandId::NewProjectButton,   CommandId::OpenProjectButton,
        CommandId::SaveButton, // file
        CommandId::CopyButton,         CommandId::PasteButton,
        CommandId::DeleteButton, // clipboard
        CommandId::AppendLinerButton,  CommandId::AppendGuideLineButton,
        CommandId::DeleteMotionButton,                        // motion
        CommandId::UndoButton,         CommandId::RedoButton, // history
        CommandId::LayerToFrontButton, CommandId::LayerToBackButton,
        CommandId::LayerForwardButton, CommandId::LayerBackwardButton, // layer order
        CommandId::FirstFrameButton,   CommandId::PreviousFrameButton,
        CommandId::PreviewButton,      CommandId::NextFrameButton,
        CommandId::LastFrameButton,                                 // frames
        CommandId::PropertiesButton,   CommandId::ExportMenuButton, // project
    };
    return kButtons;
}

std::string CommandTable::entry(int number) const {
    return m_texts.text(number);
}

std::string CommandTable::menuText(CommandId id) const {
    switch (actionOf(id)) {
    case CommandAction::NewProject:
        return entry(kNew) + " (Ctrl+N)";
    case CommandAction::OpenProject:
        return entry(kOpen) + " (Ctrl+O)";
    case CommandAction::OpenSample:
        return "Open Sample Project";
    case CommandAction::Save:
        return entry(kSave) + " (Ctrl+S)";
    case CommandAction::SaveAs:
        return "Save Project As... (Ctrl+Shift+S)";
    case CommandAction::RecentProjects:
        return "Recent Projects";
    case CommandAction::Copy:
        return "Copy (Ctrl+C)";
    case CommandAction::Paste:
        return "Paste (Ctrl+V)";
    case CommandAction::Delete:
        return entry(kDelete) + " (Del)";
    case CommandAction::AppendLiner:
        return "Append Liner Motion";
    case CommandAction::AppendGuideLine:
        return "Append Guide Line Motion";
    case CommandAction::DeleteMotion:
        return "Delete Motion";
    case CommandAction::Undo:
        return entry(kUndo) + " (Ctrl+Z)";
    case CommandAction::Redo:
        return entry(kRedo) + " (Ctrl+Y)";
    case CommandAction::LayerToFront:
        return entry(kToFront);
    case CommandAction::LayerToBack:
        return entry(kToBack);
    case CommandAction::LayerForward:
        return entry(kForward);
    case CommandAction::LayerBackward:
        return entry(kBackward);
    case CommandAction::FirstFrame:
        return entry(kFirst);
    case CommandAction::PreviousFrame:
        return entry(kPrevious);
    case CommandAction::Preview:
        return entry(kPreview);
    case CommandAction::NextFrame:
        return entry(kNext);
    case CommandAction::LastFrame:
        return entry(kLast);
    case CommandAction::Properties:
        return entry(kProperties);
    case CommandAction::ExportMenu:
        return entry(kExport);
    case CommandAction::Export:
        if (const ExportFormat* format = ExportFormats::byCommand(static_cast<int>(id)))
            return format->menuText;
        return {};
    case CommandAction::ExportChosen:
        return "Export Video or Image...";
    case CommandAction::Exit:
        return entry(kExit);
    case CommandAction::Help:
        return entry(kHelp) + " (F1)";
    case CommandAction::About:
        return entry(kAbout);
    default:
        return {};
    }
}

std::string CommandTable::tooltip(CommandId id, bool previewRunning) const {
    switch (id) {
    case CommandId::CopyButton:
        return "Copy";
    case CommandId::PasteButton:
        return "Paste";
    case CommandId::AppendLinerButton:
        return "Append Liner Motion";
    case CommandId::AppendGuideLineButton:
        return "Append Guide Line Motion";
    case CommandId::DeleteMotionButton:
        return "Delete Motion";
    case CommandId::PreviewButton:
        return entry(previewRunning ? kStopPreview : kPreview);
    default:
        break;
    }
    switch (actionOf(id)) {
    case CommandAction::NewProject:
        return entry(kNew);
    case CommandAction::OpenProject:
        return entry(kOpen);
    case CommandAction::Save:
        return entry(kSave);
    case CommandAction::Delete:
        return entry(kDelete);
    case CommandAction::Undo:
        return entry(kUndo);
    case CommandAction::Redo:
        return entry(kRedo);
    default:
        return menuText(id);
    }
}

MenuItem CommandTable::item(CommandId id) const {
    return MenuItem{id, menuText(id), true};
}

MenuItem CommandTable::item(CommandId id, std::string text, bool enabled) const {
    return MenuItem{id, std::move(text), enabled};
}

std::vector<MenuItem> CommandTable::projectItems() const {
    return {item(CommandId::NewProject),
            item(CommandId::OpenProject),
            item(CommandId::RecentProjects),
            item(CommandId::OpenSample),
            item(CommandId::Save),
            item(CommandId::SaveAs),
            MenuItem{}};
}

std::vector<MenuItem> CommandTable::exportMenu() const {
    // The formats with commands of their own, in the table's order, then the export dialog.
    std::vector<MenuItem> menu;
    for (const ExportFormat& format : ExportFormats::all())
        if (format.command != 0)
            menu.push_back(item(static_cast<CommandId>(format.command)));
    menu.push_back(item(CommandId::ExportChosen));
    return menu;
}

std::vector<MenuItem> CommandTable::fileMenu() const {
    std::vector<MenuItem> menu = projectItems();
    for (const MenuItem& exportItem : exportMenu())
        menu.push_back(exportItem);
    menu.push_back(MenuItem{});
    menu.push_back(item(CommandId::Exit));
    return menu;
}

std::vector<MenuItem> CommandTable::editMenu() const {
    return {item(CommandId::Properties),
            item(CommandId::Delete),
            MenuItem{},
            item(CommandId::AppendLiner),
            item(CommandId::AppendGuideLine),
            item(CommandId::DeleteMotion),
            MenuItem{},
            item(CommandId::Undo),
            item(CommandId::Redo),
            MenuItem{},
            item(CommandId::LayerToFront),
            item(CommandId::LayerToBack),
            item(CommandId::LayerForward),
            item(CommandId::LayerBackward),
            MenuItem{},
            item(CommandId::Copy),
            item(CommandId::Paste)};
}

std::vector<MenuItem> CommandTable::playMenu(bool previewRunning) const {
    // The start item is usable while no preview runs, the stop item while one does.
    return {item(CommandId::FirstFrame),
            item(CommandId::PreviousFrame),
            item(CommandId::Preview, entry(kPreview), !previewRunning),
            item(CommandId::NextFrame),
            item(CommandId::LastFrame),
            MenuItem{},
            item(CommandId::Preview, entry(kStopPreview), previewRunning)};
}

std::vector<MenuItem> CommandTable::helpMenu() const {
    return {item(CommandId::Help), item(CommandId::About)};
}

std::vector<MenuItem> CommandTable::objectMenu() const {
    std::vector<MenuItem> menu{item(CommandId::Properties),
                               MenuItem{},
                               item(CommandId::Copy),
                               item(CommandId::Paste),
                               item(CommandId::Delete, "Delete Selected Object (Del)"),
                               MenuItem{},
                               item(CommandId::LayerToFront),
                               item(CommandId::LayerToBack),
                               item(CommandId::LayerForward),
                               item(CommandId::LayerBackward),
                               MenuItem{}};
    for (const MenuItem& exportItem : exportMenu())
        menu.push_back(exportItem);
    return menu;
}

std::vector<MenuItem> CommandTable::contextMenu(bool previewRunning) const {
    std::vector<MenuItem> menu = projectItems();
    for (const MenuItem& editItem : editMenu())
        menu.push_back(editItem);
    menu.push_back(MenuItem{});
    for (CommandId id : {CommandId::FirstFrame, CommandId::PreviousFrame, CommandId::NextFrame,
                         CommandId::LastFrame})
        menu.push_back(item(id));
    menu.push_back(MenuItem{});
    for (const MenuItem& exportItem : exportMenu())
        menu.push_back(exportItem);
    menu.push_back(MenuItem{});
    menu.push_back(item(CommandId::Preview, entry(previewRunning ? kStopPreview : kPreview)));
    menu.push_back(MenuItem{});
    menu.push_back(item(CommandId::Exit));
    return menu;
}
