// The autosaved work of a run: its files as a save and a symbol file write them, the parts
// kept and dropped as the work changes, which runs' folders a later run offers, and folders
// that cannot be read.
#include "symbols/WorkRecovery.h"

#include "document/ProjectStore.h"
#include "symbols/Symbol.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/symbols/SymbolTestSupport.h"

#include <QDir>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using namespace symboltest;
namespace fs = std::filesystem;

std::string host() {
    return QSysInfo::machineHostName().toStdString();
}

class WorkRecoveryTest : public ::testing::Test {
protected:
    WorkRecoveryTest() {
        ProjectProperties properties;
        properties.name = "Kept Work";
        editor.newProject(properties);
        EXPECT_TRUE(editor.insertLibrarySymbol(SymbolId::create(), {frame(1), frame(2, 5, 3)}));
    }
    // A run's folder as `writer` leaves it, holding the project and, when asked, symbol work.
    std::string leave(const WorkRecovery::Writer& writer, bool withSymbol = false) {
        WorkRecovery run(folder, writer);
        const SymbolWork work{std::nullopt, {frame(3), frame(4)}};
        EXPECT_TRUE(run.save(&editor.project(), &editor.symbols(), withSymbol ? &work : nullptr));
        return run.ownFolder();
    }

    QTemporaryDir root;
    std::string folder = root.path().toStdString() + "/Recovery/";
    TestEditor editor;
};

TEST_F(WorkRecoveryTest, ThePartsAreTheFilesASaveAndTheSymbolEditorWrite) {
    WorkRecovery run(folder);
    const SymbolId edited = fixedId(7);
    const SymbolWork work{edited, {frame(5), frame(6, 30, 20)}};
    ASSERT_TRUE(run.save(&editor.project(), &editor.symbols(), &work));

    // The project copy has the bytes a save of the project writes.
    const std::string saved = root.path().toStdString() + "/saved.vrn";
    ASSERT_TRUE(ProjectStore::writeFile(saved, editor.project(), editor.symbols()));
    EXPECT_EQ(readAll(run.ownFolder() + WorkRecovery::kProjectFile), readAll(saved));
    // The symbol copy is a symbol file of the editor's frames.
    ASSERT_EQ(Symbol::countFrames(run.ownFolder() + WorkRecovery::kSymbolFile), 2u);
    EXPECT_EQ(frameNumber(Symbol::loadFrame(run.ownFolder() + WorkRecovery::kSymbolFile, 1)), 6);

    const QString info = QString::fromLatin1(readAll(run.ownFolder() + WorkRecovery::kInfoFile));
    EXPECT_TRUE(info.contains(QStringLiteral("pid=%1\n").arg(::getpid()))) << info.toStdString();
    EXPECT_TRUE(info.contains(QString::fromStdString("symbol=" + edited.toHex() + "\n")));

    // Read back by the next run, the work is what was kept.
    const WorkRecovery::Recovered back = WorkRecovery::read(run.ownFolder());
    ASSERT_EQ(back.state, WorkRecovery::Recovered::State::Readable);
    ASSERT_TRUE(back.project && back.symbol);
    EXPECT_EQ(back.project->project.name(), "Kept Work");
    EXPECT_EQ(back.project->project.objectCount(), 1);
    EXPECT_EQ(back.symbol->editing, edited);
    ASSERT_EQ(back.symbol->frames.size(), 2u);
    EXPECT_EQ(back.symbol->frames[1].size(), QSize(30, 20));
    EXPECT_LE(std::abs(back.saved.secsTo(QDateTime::currentDateTimeUtc())), 60);
}

TEST_F(WorkRecoveryTest, APartGoesWhenItsWorkIsNoLongerToKeep) {
    WorkRecovery run(folder);
    const SymbolWork fresh{std::nullopt, {frame(1)}};
    const std::string own = run.ownFolder();
    struct Step {
        const char* what;
        bool project;
        bool symbol;
        bool projectFile, symbolFile, folderThere;
    };
    const Step steps[] = {
        {"both", true, true, true, true, true},
        {"the project was saved", false, true, false, true, true},
        {"modified again, the editor closed", true, false, true, false, true},
        {"nothing left to keep", false, false, false, false, false},
        {"and again", true, true, true, true, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(run.save(step.project ? &editor.project() : nullptr,
                             step.project ? &editor.symbols() : nullptr,
                             step.symbol ? &fresh : nullptr));
        EXPECT_EQ(fs::exists(own + WorkRecovery::kProjectFile), step.projectFile);
        EXPECT_EQ(fs::exists(own + WorkRecovery::kSymbolFile), step.symbolFile);
        EXPECT_EQ(fs::exists(own), step.folderThere);
        EXPECT_FALSE(fs::exists(own + WorkRecovery::kProjectFile + ".saving"));
    }
    const WorkRecovery::Recovered back = WorkRecovery::read(own);
    ASSERT_TRUE(back.symbol);
    EXPECT_FALSE(back.symbol->editing.has_value()); // "symbol=new"
    run.discard();
    EXPECT_FALSE(fs::exists(own));
}

TEST_F(WorkRecoveryTest, ALaterRunIsOfferedTheFoldersWhoseWriterIsGone) {
    const std::int64_t ended = endedProcess();
    const std::int64_t alsoEnded = endedProcess();
    const std::int64_t running = 1; // init: always there
    WorkRecovery self(folder); // this run; its own folder is never offered to itself
    ASSERT_TRUE(self.save(&editor.project(), &editor.symbols(), nullptr));

    struct Row {
        const char* what;
        WorkRecovery::Writer writer;
        bool offered;
    };
    const Row rows[] = {
        {"a writer that ended", {ended, host()}, true},
        {"a writer that runs", {running, host()}, false},
        {"a writer on another machine", {alsoEnded, "elsewhere"}, false},
        {"an earlier run with this run's process id", {::getpid(), host()}, true},
        {"a writer the lock named, whatever runs under its id now", {::getppid(), host()}, true},
    };
    std::vector<std::string> expected;
    for (const Row& row : rows) {
        const std::string left = leave(row.writer);
        if (row.offered)
            expected.insert(expected.begin(), left); // newest first
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // distinct times
    }
    // The lock was left by the parent's id: that writer is gone, even though the id runs.
    const std::vector<std::string> offered = self.leftBehind(::getppid());
    EXPECT_EQ(offered.size(), expected.size());
    for (const std::string& folderOffered : expected)
        EXPECT_NE(std::find(offered.begin(), offered.end(), folderOffered), offered.end())
            << folderOffered;
    EXPECT_EQ(offered, expected);
    // Without the lock's word, a running id keeps its folder.
    EXPECT_EQ(self.leftBehind().size(), expected.size() - 1);

    // Set aside as damaged, a folder is offered no more and keeps its files.
    const std::string aside = WorkRecovery::setAside(expected.front());
    EXPECT_TRUE(aside.ends_with(".damaged"));
    EXPECT_TRUE(fs::exists(aside + "/" + WorkRecovery::kProjectFile));
    WorkRecovery::remove(expected.back());
    EXPECT_EQ(self.leftBehind(::getppid()).size(), expected.size() - 2);
}

TEST_F(WorkRecoveryTest, AFolderThatCannotBeReadIsDamagedAndOneWithoutWorkIsEmpty) {
    using State = WorkRecovery::Recovered::State;
    struct Row {
        const char* what;
        std::function<void(const std::string&)> harm;
        State state;
    };
    const auto truncate = [](const std::string& path, qsizetype keep) {
        QByteArray bytes = readAll(path);
        writeAll(path, bytes.left(keep));
    };
    const Row rows[] = {
        {"whole", [](const std::string&) {}, State::Readable},
        {"the project cut short",
         [&](const std::string& f) { truncate(f + WorkRecovery::kProjectFile, 900); },
         State::Damaged},
        {"the project empty",
         [&](const std::string& f) { truncate(f + WorkRecovery::kProjectFile, 0); },
         State::Damaged},
        {"the symbol file cut short",
         [&](const std::string& f) { truncate(f + WorkRecovery::kSymbolFile, 40); },
         State::Damaged},
        {"a symbol file promising a frame more",
         [](const std::string& f) {
             QByteArray bytes = readAll(f + WorkRecovery::kSymbolFile);
             writeAll(f + WorkRecovery::kSymbolFile, u32(3) + bytes.mid(4));
         },
         State::Damaged},
        {"the note garbled",
         [](const std::string& f) { writeAll(f + WorkRecovery::kInfoFile, "\x01\x02 no fields"); },
         State::Damaged},
        {"the note missing",
         [](const std::string& f) { fs::remove(f + WorkRecovery::kInfoFile); }, State::Damaged},
        {"no parts",
         [](const std::string& f) {
             fs::remove(f + WorkRecovery::kProjectFile);
             fs::remove(f + WorkRecovery::kSymbolFile);
         },
         State::Empty},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string left = leave({endedProcess(), host()}, true);
        row.harm(left);
        const WorkRecovery::Recovered back = WorkRecovery::read(left);
        EXPECT_EQ(back.state, row.state);
        WorkRecovery::remove(left);
    }
}

} // namespace
