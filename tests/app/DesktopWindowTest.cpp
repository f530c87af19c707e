// Everyday comforts of the main window: the Recent Projects menu, Save As, F1, and files
// dropped on the window, on the symbol library and on the symbol editor's frame strip.
#include "app/MainWindow.h"

#include "document/ProjectIndex.h"
#include "document/ProjectReader.h"
#include "import/ui/ImportVideoDialog.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolPictureImport.h"
#include "symbols/ui/FrameStrip.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "tests/ProgramRun.h"
#include "tests/app/AppTestSupport.h"
#include "tests/symbols/SymbolTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using symboltest::frame;
using symboltest::frameNumber;
using symboltest::writeAll;

class DesktopWindowTest : public ::testing::Test, public ShownMainWindow {
protected:
    void newProject(const std::string& name) {
        ProjectProperties properties;
        properties.name = name;
        dialogs.newProjects.push_back(properties);
        window->runCommand(CommandId::NewProject);
    }
    QString projectFile(const std::string& name) {
        return QString::fromStdString(application->folders().projectFile(name));
    }
    std::string projectName() { return window->document().lock().project().name(); }
    void modify() {
        ASSERT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {frame(1)}));
    }
    // The items of File > Recent Projects, opened with Alt+F as a person would.
    QList<QAction*> recentItems() {
        key(Qt::Key_F, Qt::AltModifier);
        QMenu* menu = window->openMenu();
        if (!menu)
            return {};
        for (QAction* action : menu->actions())
            if (action->menu() && action->text() == "Recent Projects")
                return action->menu()->actions();
        return {};
    }
    // Chooses item `index` of Recent Projects, as a click on it does.
    void chooseRecent(int index) {
        recentItems().at(index)->trigger();
        window->openMenu()->close();
        settle();
    }
    QPoint centreOf(QWidget* widget) { return widget->mapTo(window.get(), widget->rect().center()); }
    QString picture(const QString& name, QRgb colour, QSize size = QSize(20, 14)) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        const QString path = root.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

TEST_F(DesktopWindowTest, RecentProjectsListsWhatWasOpenedOrSavedAndOpensIt) {
    EXPECT_EQ(recentItems().size(), 1); // "No recent projects"
    EXPECT_FALSE(recentItems().front()->isEnabled());
    window->openMenu()->close();

    newProject("First"); // made and saved
    newProject("Second");
    dialogs.projects.push_back("First");
    key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(projectName(), "First");
    QList<QAction*> items = recentItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().contains("First"));
    EXPECT_TRUE(items[0]->text().contains(projectFile("First").left(20)));
    EXPECT_TRUE(items[1]->text().contains("Second"));
    EXPECT_TRUE(items[0]->isEnabled() && items[1]->isEnabled());
    window->openMenu()->close();
    EXPECT_TRUE(QFile::exists(root.filePath("Data/recent.txt")));

    // A project whose file is gone is shown disabled.
    ASSERT_TRUE(QFile::remove(projectFile("Second")));
    items = recentItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_FALSE(items[1]->isEnabled());
    window->openMenu()->close();

    // The next write of the list drops it.
    newProject("Third");
    items = recentItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().contains("Third"));
    EXPECT_TRUE(items[1]->text().contains("First"));
    window->openMenu()->close();

    // Chosen while the open project is modified, it asks first as Open does; Cancel stays.
    modify();
    sink.clear();
    sink.answer = MessageAnswer::Cancel;
    chooseRecent(1);
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(projectName(), "Third");
    EXPECT_TRUE(window->document().isModified());
    sink.answer = MessageAnswer::No;
    chooseRecent(1);
    EXPECT_EQ(projectName(), "First");
    EXPECT_FALSE(window->document().isModified());
    items = recentItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().contains("First"));
    window->openMenu()->close();
}

TEST_F(DesktopWindowTest, SaveAsMakesANewProjectAndKeepsTheOldFile) {
    newProject("Original");
    const QByteArray original = readAll(projectFile("Original"));
    modify();

    dialogs.names.push_back("Copy");
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.nameCalls, 1);
    EXPECT_EQ(projectName(), "Copy");
    EXPECT_FALSE(window->document().isModified());
    EXPECT_EQ(readAll(projectFile("Original")), original);
    const std::optional<LoadedProject> copy =
        ProjectReader::readFile(projectFile("Copy").toStdString());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->project.name(), "Copy");
    EXPECT_EQ(copy->project.objectCount(), 1);
    const ProjectIndex index(application->folders(), application->texts(), sink);
    EXPECT_EQ(index.names(), (std::vector<std::string>{"Original", "Copy"}));
    EXPECT_TRUE(recentItems().front()->text().contains("Copy"));
    window->openMenu()->close();

    // A name the index has is refused, and the project keeps its name; so does Cancel.
    sink.clear();
    dialogs.names.push_back("Original");
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(sink.only().text, application->texts().text(kTextProjectExists));
    EXPECT_EQ(projectName(), "Copy");
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); // the dialog is cancelled
    EXPECT_EQ(dialogs.nameCalls, 3);
    EXPECT_EQ(projectName(), "Copy");
    EXPECT_EQ(index.names().size(), 2u);

    // F1 opens the help page.
    key(Qt::Key_F1);
    ASSERT_EQ(helpPagesOpened.size(), 1u);
    EXPECT_TRUE(helpPagesOpened.front().toLocalFile().endsWith("help/index.html"));
}

TEST_F(DesktopWindowTest, AProjectFileDroppedOnTheWindowOpensAsOpenDoes) {
    newProject("Dropped");
    modify();
    window->runCommand(CommandId::Save);
    newProject("Current");
    modify();
    const QString dropped = projectFile("Dropped");

    // Files that are not one project are refused wherever they are dropped.
    EXPECT_FALSE(dragFiles(window.get(), centreOf(&window->stage()), {root.filePath("notes.txt")}));
    EXPECT_FALSE(dragFiles(window.get(), centreOf(&window->stage()), {dropped, dropped}));

    sink.answer = MessageAnswer::Cancel;
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&window->stage()), {dropped}));
    settle();
    EXPECT_EQ(sink.messages.size(), 1u); // save first?
    EXPECT_EQ(projectName(), "Current");

    sink.answer = MessageAnswer::No;
    // Over the library panel too: it takes pictures and videos, and leaves projects to the window.
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&window->libraryPanel()), {dropped}));
    settle();
    EXPECT_EQ(projectName(), "Dropped");
    EXPECT_EQ(window->document().lock().project().objectCount(), 1);
    EXPECT_FALSE(window->document().isModified());
}

TEST_F(DesktopWindowTest, PicturesDroppedOnTheLibraryBecomeTheSymbolTheCommandLineMakes) {
    SymbolLibraryPanel& panel = window->libraryPanel();
    const int before = panel.library().count();
    const QString red = picture("red.png", qRgb(220, 20, 20));
    const QString wide = picture("wide.png", qRgba(10, 200, 40, 128), QSize(60, 10));
    const std::string gif = root.filePath("walk.gif").toStdString();
    symboltest::writeAnimatedGif(gif, 3, 24, 16);
    const QStringList files{red, QString::fromStdString(gif), wide};

    // While they are over it, the panel shows it takes them; moved away, it shows nothing.
    EXPECT_FALSE(dragFiles(window.get(), centreOf(&panel), files, false));
    EXPECT_FALSE(panel.dropHighlighted());
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&panel), files));
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.library().count() == before + 1; }, 5000));
    EXPECT_EQ(panel.library().currentIndex(), before);
    EXPECT_FALSE(panel.dropHighlighted());

    // The command line's symbol of the same files, in another library.
    const QString other = root.filePath("other/");
    const ProgramRun added =
        ProgramRun::of(ZENTRAVO_CLI, QStringList{"library", "add"} + files + QStringList{"--dir", other});
    ASSERT_TRUE(added.ok()) << added.err.toStdString();
    SymbolLibrary cli(other.toStdString());
    cli.load();
    ASSERT_EQ(cli.count(), 1);
    const std::vector<QImage> expected = cli.loadAllFrames(0);
    const std::vector<QImage> made = panel.library().loadAllFrames(before);
    ASSERT_EQ(made.size(), 5u); // a picture, three GIF frames, a picture
    ASSERT_EQ(made.size(), expected.size());
    for (std::size_t i = 0; i < made.size(); ++i)
        EXPECT_TRUE(made[i] == expected[i]) << "frame " << i;

    // A picture that cannot be read is reported, and nothing is added.
    const QString broken = root.filePath("broken.png");
    writeAll(broken.toStdString(), "not a picture");
    sink.clear();
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&panel), {red, broken}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sink.messages.empty(); }, 5000));
    EXPECT_NE(sink.only().text.find("broken.png"), std::string::npos);
    EXPECT_EQ(panel.library().count(), before + 1);
}

TEST_F(DesktopWindowTest, AVideoDroppedOnTheLibraryOpensTheImportDialog) {
    const QString video = root.filePath("clip.mp4");
    const ProgramRun made =
        ProgramRun::of("/usr/bin/ffmpeg",
                       {"-v", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc=duration=1:size=64x48:rate=12", "-pix_fmt", "yuv420p", video});
    ASSERT_TRUE(made.ok()) << made.err.toStdString();
    SymbolLibraryPanel& panel = window->libraryPanel();
    const int before = panel.library().count();

    bool shown = false;
    answerModal<ImportVideoDialog>([&](ImportVideoDialog* dialog) {
        shown = true;
        dialog->cancelButton()->click();
    });
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&panel), {video}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 5000));
    settle();
    EXPECT_EQ(panel.library().count(), before);

    answerModal<ImportVideoDialog>([](ImportVideoDialog* dialog) { dialog->okButton()->click(); });
    EXPECT_TRUE(dragFiles(window.get(), centreOf(&panel), {video}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.library().count() == before + 1; }, 10000));
    EXPECT_EQ(panel.library().currentIndex(), before);
    const std::vector<QImage> frames = panel.library().loadAllFrames(before);
    ASSERT_EQ(frames.size(), 12u); // one second at 12 samples a second
    EXPECT_EQ(frames.front().size(), QSize(64, 48));
}

TEST_F(DesktopWindowTest, PicturesDroppedOnTheFrameStripArriveWhereTheyAreDropped) {
    const QString first = picture("a.png", symboltest::frame(7).pixel(0, 0));
    const QString second = picture("b.png", symboltest::frame(8).pixel(0, 0));
    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& editor) {
        FrameStrip& strip = editor.strip();
        strip.model().insertFrames(1, {frame(2)}); // two frames to drop between
        strip.refresh();
        // On the right half of the first frame: between the two.
        const QPoint at = strip.mapTo(&editor, strip.model().cell(0).center() + QPoint(20, 0));
        EXPECT_FALSE(dragFiles(&editor, at, {root.filePath("clip.mp4")})); // not pictures
        EXPECT_TRUE(dragFiles(&editor, at, {first, second}));
        ASSERT_EQ(editor.frames().count(), 4);
        EXPECT_EQ(frameNumber(editor.frames().edited[1]), 7);
        EXPECT_EQ(frameNumber(editor.frames().edited[2]), 8);
        EXPECT_EQ(frameNumber(editor.frames().edited[3]), 2);
        EXPECT_EQ(editor.currentFrame(), 1); // the first dropped, on the canvas
        EXPECT_EQ(strip.model().externalDrop(), -1);
        sink.answer = MessageAnswer::Yes;
        editor.reject();
    }));
}

} // namespace
