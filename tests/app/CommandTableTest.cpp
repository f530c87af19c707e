#include "app/CommandTable.h"

#include "document/LanguageTable.h"

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
                                        "Open Sample Project", "Save Project (Ctrl+S)", "-",
                                        "Export Animation to GIF", "Export Animation to SWF",
                                        "Export Animation to AVI", "-", "Exit"}));
    EXPECT_EQ(
        texts(table.editMenu()),
        (std::vector<std::string>{"Animation Properties", "Delete", "-", "Append Liner Motion",
                                  "Append Guide Line Motion", "Delete Motion", "-", "Undo (Ctrl+Z)",
                                  "Redo (Ctrl+Y)", "-", "Bring Layer to Front",
                                  "Send Layer to Back", "Bring Layer Forward",
                                  "Send Layer Backward", "-", "Copy (Ctrl+C)", "Paste (Ctrl+V)"}));
    EXPECT_EQ(texts(table.helpMenu()), (std::vector<std::string>{"Help", "About Zentravo"}));
    EXPECT_EQ(texts(table.objectMenu()),
              (std::vector<std::string>{
                  "Animation Properties", "-", "Copy (Ctrl+C)", "Paste (Ctrl+V)",
                  "Delete Selected Object", "-", "Bring Layer to Front", "Send Layer to Back",
                  "Bring Layer Forward", "Send Layer Backward", "-", "Export Animation to GIF",
                  "Export Animation to SWF", "Export Animation to AVI"}));

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

} // namespace
