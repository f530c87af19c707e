#include "app/CommandTable.h"

#include "app/KeyRouting.h"
#include "document/LanguageTable.h"

#include <QKeySequence>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(const std::vector<MenuItem>& items) {
    std::vector<std::string> out;
    for (const MenuItem& item : items)
        out.push_back(item.isSeparator() ? "-" : item.text);
    return out;
}

class CommandTableTest : public ::testing::Test {
protected:
    LanguageTable language;
    CommandTable table{language};
};

TEST_F(CommandTableTest, MenuItemAndButtonRunTheSameAction) {
    const std::pair<CommandId, CommandId> pairs[] = {
        {CommandId::NewProject, CommandId::NewProjectButton},
        {CommandId::Undo, CommandId::UndoButton},
        {CommandId::Preview, CommandId::PreviewButton},
        {CommandId::LayerBackward, CommandId::LayerBackwardButton},
        {CommandId::Exit, CommandId::ExitButton},
        {CommandId::Help, CommandId::HelpButton},
        {CommandId::FileMenu, CommandId::FileMenuButton},
        {CommandId::EditMenu, CommandId::EditMenuButton},
    };
    for (const auto& [menu, button] : pairs) {
        EXPECT_NE(CommandTable::actionOf(menu), CommandAction::None) << int(menu);
        EXPECT_EQ(CommandTable::actionOf(menu), CommandTable::actionOf(button)) << int(menu);
    }
    EXPECT_EQ(CommandTable::actionOf(CommandId::ExportAvi), CommandAction::Export);
    EXPECT_EQ(CommandTable::actionOf(CommandId::InsertSymbol), CommandAction::InsertSymbol);
    EXPECT_EQ(CommandTable::actionOf(static_cast<CommandId>(12345)), CommandAction::None);
}

TEST_F(CommandTableTest, EveryToolbarButtonHasItsTooltip) {
    std::vector<std::string> tips;
    for (CommandId id : CommandTable::toolbar())
        tips.push_back(table.tooltip(id, false));
    EXPECT_EQ(tips, (std::vector<std::string>{"New Project",
                                              "Open Project",
                                              "Save Project",
                                              "Copy",
                                              "Paste",
                                              "Delete",
                                              "Append Liner Motion",
                                              "Append Guide Line Motion",
                                              "Delete Motion",
                                              "Undo",
                                              "Redo",
                                              "Bring Layer to Front",
                                              "Send Layer to Back",
                                              "Bring Layer Forward",
                                              "Send Layer Backward",
                                              "First Frame",
                                              "Previous Frame",
                                              "Preview Animation",
                                              "Next Frame",
                                              "Last Frame",
                                              "Animation Properties",
                                              "Export Animation"}));
    EXPECT_EQ(table.tooltip(CommandId::PreviewButton, true), "Stop Preview");
}

TEST_F(CommandTableTest, PopupMenusListTheirItemsInOrder) {
    EXPECT_EQ(texts(table.fileMenu()),
              (std::vector<std::string>{"New Project (Ctrl+N)", "Open Project (Ctrl+O)",
                                        "Recent Projects", "Open Sample Project",
                                        "Save Project (Ctrl+S)",
                                        "Save Project As... (Ctrl+Shift+S)", "-",
                                        "Export Animation to GIF", "Export Animation to SWF",
                                        "Export Animation to AVI", "Export Video or Image...", "-",
                                        "Exit"}));
    EXPECT_EQ(
        texts(table.editMenu()),
        (std::vector<std::string>{"Animation Properties", "Delete (Del)", "-", "Append Liner Motion",
                                  "Append Guide Line Motion", "Delete Motion", "-", "Undo (Ctrl+Z)",
                                  "Redo (Ctrl+Y)", "-", "Bring Layer to Front",
                                  "Send Layer to Back", "Bring Layer Forward",
                                  "Send Layer Backward", "-", "Copy (Ctrl+C)", "Paste (Ctrl+V)"}));
    EXPECT_EQ(texts(table.helpMenu()), (std::vector<std::string>{"Help (F1)", "About Zentravo"}));
    EXPECT_EQ(texts(table.objectMenu()),
              (std::vector<std::string>{
                  "Animation Properties", "-", "Copy (Ctrl+C)", "Paste (Ctrl+V)",
                  "Delete Selected Object (Del)", "-", "Bring Layer to Front", "Send Layer to Back",
                  "Bring Layer Forward", "Send Layer Backward", "-", "Export Animation to GIF",
                  "Export Animation to SWF", "Export Animation to AVI",
                  "Export Video or Image..."}));

    // The play menu offers starting or stopping the preview by its state.
    const std::vector<MenuItem> stopped = table.playMenu(false);
    EXPECT_EQ(texts(stopped),
              (std::vector<std::string>{"First Frame", "Previous Frame", "Preview Animation",
                                        "Next Frame", "Last Frame", "-", "Stop Preview"}));
    EXPECT_TRUE(stopped[2].enabled);
    EXPECT_FALSE(stopped[6].enabled);
    const std::vector<MenuItem> playing = table.playMenu(true);
    EXPECT_FALSE(playing[2].enabled);
    EXPECT_TRUE(playing[6].enabled);

    // The context menu holds the file, edit and play commands, the exports and the preview
    // toggle under the text of the preview's state.
    const std::vector<std::string> context = texts(table.contextMenu(true));
    for (const char* text :
         {"New Project (Ctrl+N)", "Save Project (Ctrl+S)", "Undo (Ctrl+Z)", "Paste (Ctrl+V)",
          "Next Frame", "Export Animation to AVI", "Stop Preview", "Exit"})
        EXPECT_NE(std::find(context.begin(), context.end(), text), context.end()) << text;
    const std::vector<std::string> idle = texts(table.contextMenu(false));
    EXPECT_NE(std::find(idle.begin(), idle.end(), "Preview Animation"), idle.end());
    EXPECT_EQ(std::find(idle.begin(), idle.end(), "Stop Preview"), idle.end());
}

// Every key that runs a command with a menu item is named in that item, in every menu that shows
// it: the keys come from the window's key routing, not from a copy of the menu texts.
TEST_F(CommandTableTest, EveryMenuItemNamesTheKeyThatRunsItsCommand) {
    struct Key {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* shown;
    };
    const Key keys[] = {
        {Qt::Key_N, Qt::ControlModifier, "(Ctrl+N)"},
        {Qt::Key_O, Qt::ControlModifier, "(Ctrl+O)"},
        {Qt::Key_S, Qt::ControlModifier, "(Ctrl+S)"},
        {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "(Ctrl+Shift+S)"},
        {Qt::Key_Z, Qt::ControlModifier, "(Ctrl+Z)"},
        {Qt::Key_Y, Qt::ControlModifier, "(Ctrl+Y)"},
        {Qt::Key_C, Qt::ControlModifier, "(Ctrl+C)"},
        {Qt::Key_V, Qt::ControlModifier, "(Ctrl+V)"},
        {Qt::Key_Delete, Qt::NoModifier, "(Del)"},
        {Qt::Key_F1, Qt::NoModifier, "(F1)"},
    };
    std::vector<MenuItem> shown;
    for (const std::vector<MenuItem>& menu :
         {table.fileMenu(), table.editMenu(), table.playMenu(false), table.helpMenu(),
          table.exportMenu(), table.objectMenu(), table.contextMenu(false)})
        shown.insert(shown.end(), menu.begin(), menu.end());
    for (const Key& key : keys) {
        SCOPED_TRACE(key.shown);
        const KeyRouting::Route route = KeyRouting::route(key.key, key.modifiers, false);
        ASSERT_EQ(route.kind, KeyRouting::Kind::Command);
        const CommandAction action = CommandTable::actionOf(route.command);
        int items = 0;
        for (const MenuItem& item : shown)
            if (!item.isSeparator() && CommandTable::actionOf(item.id) == action) {
                ++items;
                EXPECT_NE(item.text.find(key.shown), std::string::npos) << item.text;
            }
        EXPECT_GT(items, 0);
    }
    // The other way round: the key an item names runs that item's command.
    for (const MenuItem& item : shown) {
        const std::size_t open = item.text.rfind(" (");
        if (item.isSeparator() || open == std::string::npos || item.text.back() != ')')
            continue;
        const QKeySequence named(QString::fromStdString(
            item.text.substr(open + 2, item.text.size() - open - 3)));
        ASSERT_EQ(named.count(), 1) << item.text;
        const QKeyCombination combination = named[0];
        const KeyRouting::Route route =
            KeyRouting::route(combination.key(), combination.keyboardModifiers(), false);
        EXPECT_EQ(CommandTable::actionOf(route.command), CommandTable::actionOf(item.id))
            << item.text;
    }
}

} // namespace
