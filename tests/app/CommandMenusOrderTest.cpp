// The main context menu (a right click on the stage or the timeline) item by item: the file
// commands, the edit menu, the frame commands, the exports, the preview toggle named by the
// preview's state, and Exit, with separators between the groups.
#include "app/CommandTable.h"

#include "document/LanguageTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What the context menu shows, a separator as "-".
std::vector<std::string> shownContextMenu(const CommandTable& table, bool previewRunning) {
    const std::vector<MenuItem> menu = table.contextMenu(previewRunning);
    std::vector<std::string> shown(menu.size());
    std::transform(menu.begin(), menu.end(), shown.begin(), [](const MenuItem& item) {
        return item.isSeparator() ? std::string("-") : item.text;
    });
    return shown;
}

// The context menu's items with the given toggle text.
std::vector<std::string> contextMenuTexts(const std::string& toggle) {
    return {"New Project (Ctrl+N)",
            "Open Project (Ctrl+O)",
            "Recent Projects",
            "Open Sample Project",
            "Save Project (Ctrl+S)",
            "Save Project As... (Ctrl+Shift+S)",
            "-",
            "Animation Properties",
            "Delete (Del)",
            "-",
            "Append Liner Motion",
            "Append Guide Line Motion",
            "Delete Motion",
            "-",
            "Undo (Ctrl+Z)",
            "Redo (Ctrl+Y)",
            "-",
            "Bring Layer to Front",
            "Send Layer to Back",
            "Bring Layer Forward",
            "Send Layer Backward",
            "-",
            "Copy (Ctrl+C)",
            "Paste (Ctrl+V)",
            "-",
            "First Frame",
            "Previous Frame",
            "Next Frame",
            "Last Frame",
            "-",
            "Export Animation to GIF",
            "Export Animation to SWF",
            "Export Animation to AVI",
            "Export Video or Image...",
            "-",
            toggle,
            "-",
            "Exit"};
}

TEST(CommandMenusOrderTest, TheContextMenuListsItsGroupsInOrder) {
    const LanguageTable language;
    const CommandTable table(language);
    EXPECT_EQ(shownContextMenu(table, false), contextMenuTexts("Preview Animation"));
    EXPECT_EQ(shownContextMenu(table, true), contextMenuTexts("Stop Preview"));

    // Every item is the one of the file, edit, play or export menu that has its command,
    // and the items of each of those menus keep that menu's order (but the preview toggle,
    // which stands on its own near the end).
    const std::vector<MenuItem> context = table.contextMenu(false);
    for (const std::vector<MenuItem>& menu :
         {table.fileMenu(), table.editMenu(), table.playMenu(false), table.exportMenu()}) {
        std::size_t previous = 0;
        for (const MenuItem& item : menu) {
            if (item.isSeparator() || item.id == CommandId::Preview)
                continue;
            const auto at = std::find(context.begin(), context.end(), item);
            ASSERT_NE(at, context.end()) << item.text;
            const std::size_t position = std::size_t(at - context.begin());
            EXPECT_GE(position, previous) << item.text;
            previous = position;
        }
    }
    // The toggle starts or stops the preview, and can always be chosen.
    for (bool running : {false, true}) {
        const std::vector<MenuItem> menu = table.contextMenu(running);
        const MenuItem& toggle = menu[menu.size() - 3];
        EXPECT_EQ(toggle.id, CommandId::Preview);
        EXPECT_TRUE(toggle.enabled);
        EXPECT_TRUE(menu.front().enabled && !menu.front().isSeparator());
        EXPECT_FALSE(menu.back().isSeparator());
    }
}

} // namespace
