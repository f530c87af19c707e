#include "document/ProgramFolders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ProgramFoldersTest, FoldersAreMadeWhenAskedForAndEndWithASeparator) {
    QTemporaryDir root;
    const std::string base = root.path().toStdString();
    const ProgramFolders folders(base + "/");
    struct Row {
        std::string path;
        const char* expected;
    };
    const Row rows[] = {
        {folders.dataFolder(), "/Data/"},
        {folders.templateFolder(), "/template/"},
        {folders.actorsFolder(), "/Actors/"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.path, base + row.expected);
        EXPECT_TRUE(std::filesystem::is_directory(row.path)) << row.path;
    }
    EXPECT_EQ(folders.projectIndexFile(), base + "/Data/Project.vrx");
    EXPECT_EQ(folders.languageFile(), base + "/Data/lang.qld");
    EXPECT_EQ(folders.projectFile("Walk"), base + "/Data/Walk/Walk.vrn");
    EXPECT_EQ(folders.projectFile("con"), base + "/Data/conn/conn.vrn");
    EXPECT_EQ(folders.sampleFile(2), base + "/template/template_2.vrn");
    EXPECT_FALSE(std::filesystem::exists(base + "/Data/Walk")); // paths only

    // Only one level is made: a missing root stays missing and nothing is reported.
    const ProgramFolders missing(base + "/absent/deeper");
    EXPECT_EQ(missing.dataFolder(), base + "/absent/deeper/Data/");
    EXPECT_FALSE(std::filesystem::exists(base + "/absent"));
}

TEST(ProgramFoldersTest, ProjectNamesMustStayInsideTheDataFolder) {
    struct Row {
        std::string name;
        bool valid;
    };
    const Row rows[] = {
        {"Walk cycle", true},
        {"con", true},
        {"Été 2024", true},
        {"...", true},
        {std::string(259, 'x'), true},
        {std::string(260, 'x'), false},
        {"", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"/etc", false},
        {"a\\b", false},
        {std::string("nul\0byte", 8), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ProgramFolders::isValidProjectName(row.name), row.valid) << row.name;
}

} // namespace
