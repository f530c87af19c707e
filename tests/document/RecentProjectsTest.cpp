// The recent projects list: most recent first, at most eight, one entry a path, files that are
// gone kept until the next write, and any bytes in names and paths surviving the file.
#include "document/RecentProjects.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecentProjectsTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::string listFile = folder.filePath("recent.txt").toStdString();
    RecentProjects recent{listFile};

    // A project file that exists, named after `name`.
    std::string project(const std::string& name) {
        const std::string path = folder.filePath(QString::fromStdString(name) + ".vrn").toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    std::vector<std::string> names() {
        std::vector<std::string> shown;
        for (const RecentProjects::Entry& entry : recent.entries())
            shown.push_back(entry.name);
        return shown;
    }
    void writeList(const QByteArray& bytes) {
        QFile file(QString::fromStdString(listFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(RecentProjectsTest, KeepsTheLastEightMostRecentFirstAndEachPathOnce) {
    EXPECT_TRUE(recent.entries().empty()); // no file yet
    const std::vector<std::string> all{"a", "b", "c", "d", "e", "f", "g", "h", "i"};
    for (const std::string& name : all)
        ASSERT_TRUE(recent.add(name, project(name)));
    EXPECT_EQ(names(), (std::vector<std::string>{"i", "h", "g", "f", "e", "d", "c", "b"}));

    // Opened again: it moves to the top, under the name it has now, and is not listed twice.
    ASSERT_TRUE(recent.add("Cee", project("c")));
    EXPECT_EQ(names(), (std::vector<std::string>{"Cee", "i", "h", "g", "f", "e", "d", "b"}));
    // A project that fell off the end comes back at the top, pushing the oldest out.
    ASSERT_TRUE(recent.add("a", project("a")));
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "Cee", "i", "h", "g", "f", "e", "d"}));
}

TEST_F(RecentProjectsTest, AGoneFileStaysListedUntilTheNextWrite) {
    const std::string first = project("first");
    const std::string second = project("second");
    const std::string third = project("third");
    for (const std::string& path : {first, second, third})
        ASSERT_TRUE(recent.add(path.substr(path.rfind('/') + 1), path));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(second)));

    std::vector<RecentProjects::Entry> shown = recent.entries();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].path, second); // still shown, to be disabled
    EXPECT_FALSE(RecentProjects::exists(shown[1]));
    EXPECT_TRUE(RecentProjects::exists(shown[0]));

    ASSERT_TRUE(recent.add("fourth", project("fourth")));
    shown = recent.entries();
    ASSERT_EQ(shown.size(), 3u);
    for (const RecentProjects::Entry& entry : shown)
        EXPECT_NE(entry.path, second);
}

TEST_F(RecentProjectsTest, AnyBytesInNamesAndPathsSurviveTheFile) {
    const std::vector<std::string> names{"tab\there", "two\nlines", "100% done", "caf\xe9 (Latin-1)",
                                         "  spaces  ", std::string("nul\0inside", 10)};
    // File names may hold tabs, line breaks and percent signs too.
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(recent.add(names[i], project("p" + std::to_string(i) + "\t%\n")));
    const std::vector<RecentProjects::Entry> shown = recent.entries();
    ASSERT_EQ(shown.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(shown[i].name, names[names.size() - 1 - i]);
        EXPECT_TRUE(shown[i].path.ends_with("\t%\n.vrn"));
        EXPECT_TRUE(RecentProjects::exists(shown[i]));
    }
}

TEST_F(RecentProjectsTest, ADamagedListGivesWhatCanBeRead) {
    struct Row {
        const char* what;
        QByteArray file;
        std::vector<std::string> names;
    };
    const Row rows[] = {
        {"empty", "", {}},
        {"lines without a tab or a path are skipped", "no tab\nA\t\n\tonly-path\nB\t/b.vrn\n",
         {"", "B"}},
        {"a path listed twice keeps its first entry", "A\t/x.vrn\nB\t/x.vrn\nC\t/c.vrn", {"A", "C"}},
        {"too many lines: the first eight",
         "1\t/1\n2\t/2\n3\t/3\n4\t/4\n5\t/5\n6\t/6\n7\t/7\n8\t/8\n9\t/9\n",
         {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"three fields", "A\t/a.vrn\textra\nB\t/b.vrn\n", {"B"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeList(row.file);
        EXPECT_EQ(names(), row.names);
    }
}

TEST_F(RecentProjectsTest, AFailedWriteKeepsTheList) {
    ASSERT_TRUE(recent.add("kept", project("kept")));
    RecentProjects unwritable(folder.filePath("missing folder/recent.txt").toStdString());
    EXPECT_FALSE(unwritable.add("new", project("new")));
    EXPECT_TRUE(unwritable.entries().empty());
    EXPECT_EQ(names(), std::vector<std::string>{"kept"});
}

} // namespace
