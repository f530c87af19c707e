#include "document/ProjectIndex.h"

#include "tests/document/ProjectFileSupport.h"

#include <filesystem>

namespace {

class ProjectIndexTest : public ProjectFilesTest {
protected:
    ProjectIndexTest() : index(folders, texts, sink) {}

    void saveProject(const std::string& name) {
        newProject(name);
        ASSERT_TRUE(store.save(editor));
    }
    Bytes indexBytes() const { return readBytes(folders.projectIndexFile()); }

    ProjectIndex index;
};

TEST_F(ProjectIndexTest, AddingNamesWritesCountAndFixedFields) {
    EXPECT_TRUE(index.add("First"));
    EXPECT_TRUE(index.add("Second"));
    const Bytes bytes = indexBytes();
    ASSERT_EQ(bytes.size(), 4u + 2 * 260);
    EXPECT_EQ(i32At(bytes, 0), 2);
    EXPECT_EQ(textAt(bytes, 4), "First");
    EXPECT_EQ(textAt(bytes, 264), "Second");
    EXPECT_TRUE(std::filesystem::is_directory(folders.dataFolder() + "First"));
    EXPECT_EQ(index.names(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ProjectIndexTest, ConIsStoredAsConnWhileTheProjectKeepsItsName) {
    ASSERT_TRUE(index.add("con"));
    EXPECT_EQ(index.names(), std::vector<std::string>{"conn"});
    EXPECT_TRUE(std::filesystem::is_directory(folders.dataFolder() + "conn"));
    EXPECT_FALSE(std::filesystem::exists(folders.dataFolder() + "con"));

    saveProject("con"); // found again through the index
    EXPECT_EQ(editor.project().name(), "con");
    EXPECT_EQ(index.openableNames(), std::vector<std::string>{"conn"});
    TestEditor other;
    ASSERT_TRUE(store.openByName(other, "conn"));
    EXPECT_EQ(other.project().name(), "con");

    EXPECT_FALSE(index.add("con")); // "conn" is taken
    EXPECT_EQ(sink.only().text, texts.text(103));
}

TEST_F(ProjectIndexTest, ADuplicateNameIsRefusedAndTheIndexStays) {
    ASSERT_TRUE(index.add("Walk"));
    ASSERT_TRUE(index.add("Run"));
    const Bytes before = indexBytes();
    EXPECT_FALSE(index.add("Walk"));
    EXPECT_EQ(sink.only().text, texts.text(kTextProjectExists));
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_EQ(sink.only().icon, MessageIcon::Exclamation);
    EXPECT_EQ(indexBytes(), before);

    sink.clear();
    EXPECT_TRUE(index.add("walk")); // case-sensitive, byte for byte
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ProjectIndexTest, BadNamesAreRefusedBeforeAnythingIsMade) {
    for (const std::string& name :
         {std::string(".."), std::string("."), std::string(""), std::string("a/b"),
          std::string("x\\y"), std::string(260, 'n')}) {
        sink.clear();
        EXPECT_FALSE(index.add(name)) << name;
        EXPECT_EQ(sink.only().text, texts.text(kTextBadProjectName)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folders.projectIndexFile()));
    EXPECT_TRUE(std::filesystem::is_empty(folders.dataFolder()));

    // A folder that cannot be made (a file in its place) gives the same message.
    sink.clear();
    ASSERT_TRUE(writeBytes(folders.dataFolder() + "Taken", {0}));
    EXPECT_FALSE(index.add("Taken"));
    EXPECT_EQ(sink.only().text, texts.text(kTextBadProjectName));
}

TEST_F(ProjectIndexTest, ListingSkipsNamesWhoseFileWasRemovedByHand) {
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        ASSERT_TRUE(index.add(name));
        saveProject(name);
    }
    std::filesystem::remove(fileOf("Beta"));
    EXPECT_EQ(index.openableNames(), (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(index.names(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));

    // Deleting rewrites the index from the dialog's list: the stale name goes with it.
    std::vector<std::string> listed = index.openableNames();
    ASSERT_TRUE(index.remove(listed, 1));
    EXPECT_EQ(sink.only().text, texts.text(kTextConfirmDelete));
    EXPECT_EQ(sink.only().buttons, MessageButtons::YesNo);
    EXPECT_EQ(listed, std::vector<std::string>{"Alpha"});
    EXPECT_EQ(index.names(), std::vector<std::string>{"Alpha"});
    EXPECT_FALSE(std::filesystem::exists(fileOf("Gamma")));
    EXPECT_TRUE(std::filesystem::is_directory(folders.dataFolder() + "Gamma")); // folder kept
}

TEST_F(ProjectIndexTest, DeleteAsksFirstAndNeedsASelection) {
    for (const char* name : {"One", "Two"}) {
        ASSERT_TRUE(index.add(name));
        saveProject(name);
    }
    std::vector<std::string> listed = index.openableNames();
    EXPECT_FALSE(index.remove(listed, -1));
    EXPECT_EQ(sink.only().text, texts.text(kTextSelectProjectToDelete));
    EXPECT_EQ(listed.size(), 2u);

    sink.clear();
    sink.answer = MessageAnswer::No;
    EXPECT_FALSE(index.remove(listed, 0));
    EXPECT_TRUE(std::filesystem::exists(fileOf("One")));
    EXPECT_EQ(index.names().size(), 2u);

    sink.answer = MessageAnswer::Yes;
    ASSERT_TRUE(index.remove(listed, 0));
    const Bytes bytes = indexBytes();
    ASSERT_EQ(bytes.size(), 4u + 260);
    EXPECT_EQ(i32At(bytes, 0), 1);
    EXPECT_EQ(textAt(bytes, 4), "Two");
}

TEST_F(ProjectIndexTest, DamagedIndexesListWhatIsWholeAndRefuseAdding) {
    for (const char* name : {"Kept", "Cut"}) {
        ASSERT_TRUE(index.add(name));
        saveProject(name);
    }
    Bytes bytes = indexBytes();
    struct Row {
        const char* what;
        Bytes contents;
        std::vector<std::string> listed;
    };
    const Row rows[] = {
        {"short count", Bytes(bytes.begin(), bytes.begin() + 3), {}},
        {"short second name", Bytes(bytes.begin(), bytes.end() - 1), {"Kept"}},
        {"count larger than the names",
         [&] {
             Bytes b = bytes;
             putI32(b, 0, 1000);
             return b;
         }(),
         {"Kept", "Cut"}},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(writeBytes(folders.projectIndexFile(), row.contents));
        sink.clear();
        EXPECT_EQ(index.openableNames(), row.listed) << row.what;
        EXPECT_FALSE(index.add("New")) << row.what; // a short read fails without a message
        EXPECT_TRUE(sink.messages.empty()) << row.what;
        EXPECT_EQ(indexBytes(), row.contents) << row.what;
    }
}

} // namespace
