// Nothing lost: the main window's autosave of the project and of the symbol editor's work, and
// the offer at start of the work a run that crashed left behind, answered Yes, No and Cancel,
// or refused when it cannot be read.
#include "app/Autosave.h"
#include "app/MainWindow.h"

#include "document/ProjectReader.h"
#include "symbols/Symbol.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/WorkRecovery.h"
#include "symbols/ui/FrameStrip.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "tests/app/AppTestSupport.h"
#include "tests/symbols/SymbolTestSupport.h"

#include <QLocale>
#include <QSignalSpy>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using symboltest::frame;
using symboltest::frameNumber;
using symboltest::endedProcess;
using symboltest::writeAll;

class RecoveryWindowTest : public ::testing::Test, public MainWindowHarness {
protected:
    RecoveryWindowTest() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    std::string recoveryFolder() { return application->folders().recoveryFolder(); }
    // The folders in the recovery folder (this run's own among them, once it saved).
    std::vector<std::string> recoveryFolders() {
        std::vector<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(recoveryFolder()))
            found.push_back(entry.path().string() + "/");
        return found;
    }
    // This run's folder: the one whose note names this process.
    std::string ownFolder() {
        for (const std::string& folder : recoveryFolders())
            if (fs::path(folder).parent_path().filename().string().starts_with(
                    std::to_string(::getpid()) + "-"))
                return folder;
        return {};
    }
    // Waits for the next autosave after now.
    void waitForAutosave() {
        QSignalSpy saved(&window->autosave(), &Autosave::saved);
        EXPECT_TRUE(saved.wait(5000));
    }
    void newProject(const std::string& name) {
        ProjectProperties properties;
        properties.name = name;
        dialogs.newProjects.push_back(properties);
        window->runCommand(CommandId::NewProject);
    }
    // What a run that crashed left: a project `name` with one two-picture symbol object, and
    // symbol work of frames 5 and 6 for `editing` when asked.
    std::string leaveCrashedWork(const std::string& name, bool project, bool symbol,
                                 std::optional<SymbolId> editing = std::nullopt) {
        TestEditor crashed;
        ProjectProperties properties;
        properties.name = name;
        crashed.newProject(properties);
        EXPECT_TRUE(crashed.insertLibrarySymbol(SymbolId::create(), {frame(1), frame(2)}));
        WorkRecovery run(recoveryFolder(), {endedProcess(), QSysInfo::machineHostName().toStdString()});
        const SymbolWork work{editing, {frame(5), frame(6)}};
        EXPECT_TRUE(run.save(project ? &crashed.project() : nullptr,
                             project ? &crashed.symbols() : nullptr, symbol ? &work : nullptr));
        return run.ownFolder();
    }
    std::string projectName() { return window->document().lock().project().name(); }
    int objectCount() { return window->document().lock().project().objectCount(); }
};

TEST_F(RecoveryWindowTest, TheAutosaveKeepsAModifiedProjectWithoutTouchingIt) {
    newProject("Autosaved");
    const std::string ownFile = application->folders().projectFile("Autosaved");
    const QByteArray saved = readAll(QString::fromStdString(ownFile));
    ASSERT_FALSE(saved.isEmpty());
    window->autosave().setInterval(20);
    waitForAutosave();
    EXPECT_EQ(ownFolder(), ""); // nothing modified, nothing kept

    ASSERT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {frame(3)}));
    ASSERT_TRUE(window->editor().appendMotion(kLinerMotion));
    const int snapshots = window->document().lock().history().count();
    const int position = window->document().lock().history().position();
    waitForAutosave();
    ASSERT_NE(ownFolder(), "");

    // The copy has the bytes a save would write now...
    const QString now = root.filePath("now.vrn");
    {
        auto lock = window->document().lock();
        ASSERT_TRUE(ProjectStore::writeFile(now.toStdString(), lock.project(), lock.symbols()));
    }
    EXPECT_EQ(readAll(QString::fromStdString(ownFolder() + WorkRecovery::kProjectFile)),
              readAll(now));
    // ...and the project's own file, its modified flag and its history are as they were.
    EXPECT_EQ(readAll(QString::fromStdString(ownFile)), saved);
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->document().lock().history().count(), snapshots);
    EXPECT_EQ(window->document().lock().history().position(), position);
    EXPECT_TRUE(window->captionText().endsWith(" *"));

    // Saved: the copy would bring back older work, so it goes at once.
    window->autosave().setInterval(60000);
    window->runCommand(CommandId::Save);
    EXPECT_FALSE(window->document().isModified());
    EXPECT_EQ(ownFolder(), "");

    // Modified again and kept; a clean end of the run removes the folder.
    ASSERT_TRUE(window->editor().deleteSelectedObject());
    window->autosave().saveNow();
    const std::string kept = ownFolder();
    ASSERT_NE(kept, "");
    window.reset();
    EXPECT_FALSE(fs::exists(kept));
}

TEST_F(RecoveryWindowTest, TheSymbolEditorsWorkIsKeptWhileItHasChanges) {
    window->autosave().setInterval(20);
    const QImage dropped = frame(4, 30, 20);
    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& editor) {
        waitForAutosave();
        EXPECT_EQ(ownFolder(), ""); // a new symbol's blank frame is nothing to keep
        editor.strip().model().insertFrames(1, {dropped});
        editor.strip().refresh();
        waitForAutosave();
        const std::string symbolFile = ownFolder() + WorkRecovery::kSymbolFile;
        EXPECT_EQ(Symbol::countFrames(symbolFile), 2u);
        EXPECT_EQ(frameNumber(Symbol::loadFrame(symbolFile, 1)), 4);
        EXPECT_FALSE(fs::exists(ownFolder() + WorkRecovery::kProjectFile)); // not modified
        sink.answer = MessageAnswer::Yes; // discard the changes
        editor.reject();
    }));
    // Closed without saving: the work was given up, and nothing is kept.
    EXPECT_EQ(ownFolder(), "");
}

TEST_F(RecoveryWindowTest, LeftWorkIsOfferedAndTheAnswerDecides) {
    struct Row {
        MessageAnswer answer;
        bool restored;
        bool folderKept;
    };
    const Row rows[] = {
        {MessageAnswer::Cancel, false, true},
        {MessageAnswer::No, false, false},
        {MessageAnswer::Yes, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.answer));
        window->editor().startUnnamed("Unnamed");
        for (const std::string& folder : recoveryFolders())
            WorkRecovery::remove(folder);
        const std::string left = leaveCrashedWork("Crashed", true, false);
        const QByteArray leftBytes =
            readAll(QString::fromStdString(left + WorkRecovery::kProjectFile));
        const QDateTime time = WorkRecovery::read(left).saved;
        sink.clear();
        sink.answer = row.answer;

        EXPECT_EQ(window->recoverWork(0), row.restored);
        ASSERT_EQ(sink.messages.size(), 1u);
        const RecordingMessageSink::Message asked = sink.messages.front();
        EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
        EXPECT_NE(asked.text.find("Restore the work from \"Crashed\" (" +
                                  QLocale().toString(time.toLocalTime(), QLocale::ShortFormat)
                                      .toStdString() +
                                  ")?"),
                  std::string::npos)
            << asked.text;
        EXPECT_EQ(fs::exists(left), row.folderKept);
        if (row.restored) {
            // Opened as modified under its own name, the recovered state its first undo step.
            EXPECT_EQ(projectName(), "Crashed");
            EXPECT_TRUE(window->document().isModified());
            EXPECT_EQ(objectCount(), 1);
            EXPECT_EQ(window->document().lock().history().count(), 1);
            EXPECT_FALSE(fs::exists(application->folders().projectFile("Crashed")));
            // Kept again at once by this run, byte for byte.
            EXPECT_EQ(readAll(QString::fromStdString(ownFolder() + WorkRecovery::kProjectFile)),
                      leftBytes);
        } else {
            EXPECT_EQ(projectName(), "Unnamed");
            EXPECT_FALSE(window->document().isModified());
        }
    }
}

TEST_F(RecoveryWindowTest, DamagedWorkIsRefusedAndTheStartGoesOn) {
    const std::string good = leaveCrashedWork("Older", true, false);
    QTest::qWait(5);
    const std::string damaged = leaveCrashedWork("Newer", true, false);
    const std::string damagedFile = damaged + WorkRecovery::kProjectFile;
    writeAll(damagedFile, readAll(QString::fromStdString(damagedFile)).left(900));

    sink.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(window->recoverWork(0));
    // The newer work is refused with a message, and the older one is still offered.
    ASSERT_EQ(sink.messages.size(), 2u);
    const RecordingMessageSink::Message refused = sink.messages[0];
    EXPECT_EQ(refused.caption, "Error");
    EXPECT_EQ(refused.icon, MessageIcon::Exclamation);
    EXPECT_NE(refused.text.find("damaged"), std::string::npos) << refused.text;
    EXPECT_NE(sink.messages[1].text.find("\"Older\""), std::string::npos);
    // Set aside for a person to look at, and offered no more.
    std::string aside = damaged;
    aside.pop_back();
    aside += WorkRecovery::kDamagedSuffix;
    EXPECT_TRUE(fs::exists(aside + "/" + WorkRecovery::kProjectFile));
    EXPECT_NE(refused.text.find(aside), std::string::npos);
    sink.clear();
    EXPECT_FALSE(window->recoverWork(0));
    ASSERT_EQ(sink.messages.size(), 1u); // only the older work, which was kept
    EXPECT_TRUE(fs::exists(good));

    // The start goes on: the window's commands work.
    EXPECT_EQ(projectName(), "Untitled");
    window->runCommand(CommandId::NewProject);
    EXPECT_EQ(dialogs.newProjectCalls, 1);
}

TEST_F(RecoveryWindowTest, TheSymbolEditorsWorkReopensAndIsSavedIntoTheLibrary) {
    SymbolLibraryPanel& panel = window->libraryPanel();
    const int before = panel.library().count();
    ASSERT_GT(before, 1); // the starter symbols
    const SymbolId edited = panel.library().at(1).id;
    struct Row {
        const char* what;
        std::optional<SymbolId> editing;
        int count;    // symbols afterwards
        int selected; // and the one selected
    };
    const Row rows[] = {
        {"an edited symbol is written over", edited, before, 1},
        {"a new symbol is added", std::nullopt, before + 1, before},
        {"a symbol deleted meanwhile comes back as a new one", SymbolId::create(), before + 2,
         before + 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const std::string& folder : recoveryFolders())
            WorkRecovery::remove(folder);
        leaveCrashedWork("With Symbol", false, true, row.editing);
        std::vector<QImage> shown;
        bool changed = false;
        window->symbolEditor().setOpened([&](SymbolEditor& editor) {
            QTimer::singleShot(0, &editor, [&] {
                shown = editor.frames().edited;
                changed = editor.hasChanges();
                editor.runCommand(SymbolEditor::CmdOk);
            });
        });
        sink.answer = MessageAnswer::Yes;
        ASSERT_TRUE(window->recoverWork(0));
        EXPECT_NE(sink.messages.back().text.find("from the symbol editor ("), std::string::npos);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, 5000));
        settle();
        window->symbolEditor().setOpened({});
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(frameNumber(shown[1]), 6);
        EXPECT_TRUE(changed); // Cancel would ask before the work is lost
        EXPECT_EQ(panel.library().count(), row.count);
        EXPECT_EQ(panel.library().currentIndex(), row.selected);
        const std::vector<QImage> stored = panel.library().loadAllFrames(row.selected);
        ASSERT_EQ(stored.size(), 2u);
        EXPECT_EQ(frameNumber(stored[0]), 5);
        // Saved into the library: nothing is left to keep.
        EXPECT_EQ(ownFolder(), "");
    }
}

} // namespace
