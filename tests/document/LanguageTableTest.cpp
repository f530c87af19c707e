#include "document/LanguageTable.h"

#include "document/LanguageTexts.h"
#include "tests/document/ProjectFileSupport.h"

#include <QByteArray>

#include <filesystem>

namespace {

// Every entry number the program's texts refer to.
const int kUsedEntries[] = {0,  9,  15, 23, 24, 25,  26,  27,  28,  29,  30,  31,
                            32, 33, 34, 35, 36, 37,  38,  39,  40,  41,  42,  43,
                            44, 45, 51, 52, 57, 100, 102, 103, 104, 105, 107, 114};

TEST(LanguageTableTest, BothTablesAreWrittenEncipheredAndReadBack) {
    QTemporaryDir root;
    const ProgramFolders folders(root.path().toStdString());
    for (Language language : {Language::English, Language::Chinese}) {
        const LanguageTable table = LanguageTable::loadAtStart(folders, language);
        EXPECT_TRUE(table.isFromFile());
        for (int entry : kUsedEntries)
            EXPECT_FALSE(table.text(entry).empty()) << entry;
        EXPECT_EQ(table.text(0), "Zentravo");
        EXPECT_EQ(table.text(1000), "");
        EXPECT_EQ(table.text(-1), "");

        const Bytes file = readBytes(folders.languageFile());
        const QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
        EXPECT_FALSE(bytes.contains(QByteArray::fromStdString(table.text(57))));
        EXPECT_FALSE(bytes.contains("Zentravo"));
    }
    LanguageTable chinese;
    ASSERT_TRUE(LanguageTable::readFile(folders.languageFile(), chinese));
    EXPECT_EQ(chinese.text(44), "确定");
    EXPECT_EQ(LanguageTable().text(57), "Untitled");
    EXPECT_NE(chinese.text(57), LanguageTable().text(57));
}

TEST(LanguageTableTest, AnUnwritableOrDamagedFileFallsBackToEnglish) {
    QTemporaryDir root;
    const ProgramFolders folders(root.path().toStdString());
    // A folder where the file should be: it can be neither written nor read.
    std::filesystem::create_directories(folders.languageFile());
    LanguageTable table = LanguageTable::loadAtStart(folders, Language::Chinese);
    EXPECT_FALSE(table.isFromFile());
    EXPECT_EQ(table.text(45), "Cancel");

    const std::string path = folders.dataFolder() + "damaged.qld";
    const Bytes good = [&] {
        EXPECT_TRUE(LanguageTable::writeResourceToFile(
            LanguageTable::resourcePath(Language::English), path));
        return readBytes(path);
    }();
    ASSERT_GT(good.size(), 4u + 114 * 260);
    const Bytes damaged[] = {
        {}, Bytes(good.begin(), good.end() - 1), Bytes(good.begin(), good.begin() + 3), [&] {
            Bytes b = good;
            b[0] ^= 0x40; // the count no longer matches the size
            return b;
        }()};
    for (const Bytes& bytes : damaged) {
        ASSERT_TRUE(writeBytes(path, bytes));
        LanguageTable read;
        EXPECT_FALSE(LanguageTable::readFile(path, read)) << bytes.size();
        EXPECT_FALSE(read.isFromFile());
    }
    EXPECT_FALSE(LanguageTable::writeResourceToFile(":/lang/none", path));
}

TEST(LanguageTableTest, TablesHoldTheSameEntries) {
    std::vector<int> english, chinese;
    for (const LanguageText& text : LanguageTexts::english())
        english.push_back(text.entry);
    for (const LanguageText& text : LanguageTexts::chinese())
        chinese.push_back(text.entry);
    EXPECT_EQ(english, chinese);
    for (const LanguageText& text : LanguageTexts::chinese())
        EXPECT_LT(std::strlen(text.text), 260u) << text.entry;
}

} // namespace
