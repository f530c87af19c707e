// Edits through the real main window, driven as a person would: each ends in the command
// layer once (names kept across undo, one undo step per drag, one redraw per move), and a
// question answered with Cancel, or a save that cannot be made, loses nothing.
#include "app/MainWindow.h"

#include "controls/FlatSlider.h"
#include "controls/ImageButton.h"
#include "document/ProgramFolders.h"
#include "document/ProjectStore.h"
#include "document/ui/TimelinePanel.h"
#include "stage/ui/MotionPanel.h"
#include "stage/ui/StageView.h"
#include "tests/app/AppTestSupport.h"

#include <QScrollBar>
#include <QTextBrowser>

#include <set>

#include <gtest/gtest.h>

namespace {

class EditRoadTest : public ::testing::Test, public MainWindowHarness {
protected:
    EditRoadTest() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
    }
    void insertSquare() {
        QImage picture(60, 40, QImage::Format_ARGB32);
        picture.fill(qRgb(30, 160, 60));
        ASSERT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {picture}));
    }
    std::string name() { return window->document().lock().project().name(); }
    ObjectRecord record(int index = 0) {
        return window->document().lock().project().objects[std::uint32_t(index)].record;
    }
    ProjectHeader header() { return window->document().lock().project().header; }
    int undoSteps() { return window->document().lock().history().count(); }
    bool playButtonShowsPlaying() {
        ImageButton* play = window->toolbarButton(CommandId::PreviewButton);
        const bool stopPicture = play->picture() == ":/icons/stop.svg";
        EXPECT_EQ(stopPicture, play->toolTip() == "Stop Preview");
        return stopPicture;
    }
    // Press, `steps` small moves with the button held, release.
    static void drag(QWidget* widget, QPoint from, QPoint to, int steps = 12) {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        for (int k = 1; k <= steps; ++k)
            QTest::mouseMove(widget, from + (to - from) * k / steps);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
    }
};

TEST_F(EditRoadTest, UndoAfterTheFirstSaveKeepsTheProjectsNameAndFile) {
    insertSquare();
    insertSquare();
    dialogs.names.push_back("Clip");
    window->runCommand(CommandId::Save);
    ASSERT_EQ(name(), "Clip");
    window->runCommand(CommandId::Undo);
    EXPECT_EQ(name(), "Clip");
    EXPECT_TRUE(window->captionText().endsWith("Clip *"));
    window->runCommand(CommandId::Redo);
    window->runCommand(CommandId::Undo);
    window->runCommand(CommandId::Save); // saved under its name, asking nothing
    EXPECT_EQ(dialogs.nameCalls, 1);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(window->captionText().endsWith("*"));
    const ProgramFolders folders(root.path().toStdString());
    std::optional<LoadedProject> saved = ProjectStore(folders, sink).loadByName("Clip");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->project.layerCount(), 1);
}

TEST_F(EditRoadTest, AStageResizeDragIsAnUndoStepThatRedoBringsBack) {
    insertSquare();
    waitForDraw();
    StageView& stage = window->stage();
    const int steps = undoSteps();
    // The 320 x 120 stage's right-edge handle: (320, 58)..(323, 61).
    drag(&stage, QPoint(321, 60), QPoint(401, 60));
    settle();
    EXPECT_EQ(header().width, 401);
    EXPECT_EQ(undoSteps(), steps + 1);
    window->runCommand(CommandId::Undo);
    EXPECT_EQ(header().width, 320);
    EXPECT_EQ(stage.canvas().stageWidth(), 320); // the stage shows the restored size
    window->runCommand(CommandId::Redo);
    EXPECT_EQ(header().width, 401);
    EXPECT_EQ(stage.canvas().stageWidth(), 401);
}

TEST_F(EditRoadTest, ASliderDragFollowsTheMouseAsOneUndoStepAndMovesNothingInTime) {
    insertSquare();
    settle();
    const ObjectRecord before = record();
    FlatSlider* opacity = window->motionPanel().slider(MotionPanelModel::kStartOpacity);
    ASSERT_TRUE(opacity && opacity->isVisible());
    const int steps = undoSteps();
    const int y = opacity->height() / 2;
    const QPoint knob(opacity->width() - opacity->height() / 2, y); // at 255
    QTest::mousePress(opacity, Qt::LeftButton, {}, knob);
    std::vector<int> seen;
    for (int x = knob.x(); x >= knob.x() - 60; x -= 5) {
        QTest::mouseMove(opacity, QPoint(x, y));
        seen.push_back(record().startOpacity);
        EXPECT_EQ(opacity->position(), record().startOpacity);
    }
    QTest::mouseRelease(opacity, Qt::LeftButton, {}, QPoint(knob.x() - 60, y));
    settle();
    EXPECT_GT(std::set<int>(seen.begin(), seen.end()).size(), 8u); // it followed the mouse
    EXPECT_LT(record().startOpacity, 160);
    EXPECT_EQ(undoSteps(), steps + 1);
    EXPECT_EQ(record().startFrame, before.startFrame); // the timeline heard none of it
    EXPECT_EQ(record().endFrame, before.endFrame);
    window->runCommand(CommandId::Undo);
    EXPECT_EQ(record().startOpacity, 255);
}

TEST_F(EditRoadTest, DraggingTheTimelinesScrollBarOverAHiddenRowMovesNoObject) {
    for (int k = 0; k < 12; ++k)
        insertSquare();
    settle();
    TimelinePanel& timeline = window->timeline();
    QScrollBar* bar = nullptr;
    for (QScrollBar* candidate : timeline.findChildren<QScrollBar*>())
        if (candidate->orientation() == Qt::Horizontal)
            bar = candidate;
    ASSERT_TRUE(bar && bar->isVisible());
    // The bar covers the lower rows: under it lies a span of frames 0..20.
    const QPoint from(timeline.model().frameX(10) - bar->x(), bar->height() / 2);
    std::vector<ObjectRecord> before;
    for (int i = 0; i < 12; ++i)
        before.push_back(record(i));
    const int steps = undoSteps();
    drag(bar, from, from + QPoint(120, 0));
    settle();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(record(i).startFrame, before[std::size_t(i)].startFrame) << i;
        EXPECT_EQ(record(i).endFrame, before[std::size_t(i)].endFrame) << i;
    }
    EXPECT_EQ(undoSteps(), steps);
}

TEST_F(EditRoadTest, OneStageDragIsOneRedrawPerMoveAndOneUndoStep) {
    insertSquare();
    waitForDraw();
    StageView& stage = window->stage();
    StageCanvas& canvas = stage.canvas();
    const int steps = undoSteps();
    // The object's box is (130, 40)..(190, 80) on the 320 x 120 stage.
    QTest::mousePress(&stage, Qt::LeftButton, {}, QPoint(160, 60));
    for (int k = 1; k <= 15; ++k) {
        const int requests = canvas.redrawRequests();
        QTest::mouseMove(&stage, QPoint(160 + 2 * k, 60 + k));
        EXPECT_EQ(canvas.redrawRequests() - requests, 1) << "move " << k;
        EXPECT_EQ(undoSteps(), steps);
    }
    QTest::mouseRelease(&stage, Qt::LeftButton, {}, QPoint(190, 75));
    settle();
    EXPECT_EQ(undoSteps(), steps + 1);
    EXPECT_FLOAT_EQ(record().startX, 160.0f);
    EXPECT_FLOAT_EQ(record().startY, 55.0f);
}

TEST_F(EditRoadTest, ThePlayButtonAlwaysShowsThePreviewsState) {
    insertSquare();
    window->runCommand(CommandId::PreviewButton);
    ASSERT_TRUE(window->stage().canvas().isPlaying());
    EXPECT_TRUE(playButtonShowsPlaying());

    // New project during a preview: the preview goes on with the new project, as after the
    // other commands, and the button says so.
    sink.answer = MessageAnswer::No;
    ProjectProperties slow;
    slow.name = "Slow";
    slow.frameRate = 1; // a frame a second: the marker stays put while it is pressed
    dialogs.newProjects.push_back(slow);
    window->runCommand(CommandId::NewProject);
    settle();
    ASSERT_EQ(name(), "Slow");
    EXPECT_EQ(playButtonShowsPlaying(), window->stage().canvas().isPlaying());
    EXPECT_TRUE(window->stage().canvas().isPlaying());

    // Scrubbing the timeline during the preview stops it; the button follows.
    TimelinePanel& timeline = window->timeline();
    const int marker = timeline.model().frameX(window->document().currentFrame());
    drag(&timeline, QPoint(marker, 25), QPoint(timeline.model().frameX(6) + 3, 25));
    settle();
    EXPECT_FALSE(window->stage().canvas().isPlaying());
    EXPECT_FALSE(playButtonShowsPlaying());
    EXPECT_EQ(window->document().currentFrame(), 6);
}

TEST_F(EditRoadTest, ACancelledOrFailedSaveStopsExitNewOpenAndSample) {
    insertSquare();
    // A file where the project's folder would go: its save fails.
    QDir(root.path()).mkpath("Data");
    QFile blocker(root.filePath("Data/Blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    struct Row {
        const char* what;
        MessageAnswer answer;
        std::optional<std::string> name; // what the name dialog answers
    };
    const Row rows[] = {{"question cancelled", MessageAnswer::Cancel, std::nullopt},
                        {"name dialog cancelled", MessageAnswer::Yes, std::nullopt},
                        {"save failed", MessageAnswer::Yes, "Blocked"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        sink.answer = row.answer;
        sink.clear();
        auto answerName = [&] {
            dialogs.names.clear();
            dialogs.names.push_back(row.name);
        };
        answerName();
        window->runCommand(CommandId::NewProject);
        EXPECT_EQ(dialogs.newProjectCalls, 0);
        answerName();
        window->runCommand(CommandId::OpenProject);
        EXPECT_EQ(dialogs.chooseCalls, 0);
        answerName();
        dialogs.samples.push_back(1);
        window->send(MainMessage::OpenSample, int(SampleRequest::Chooser), 0);
        EXPECT_FALSE(window->projectCommands().isSampleProject());
        answerName();
        window->runCommand(CommandId::ExitButton);
        EXPECT_FALSE(QTest::qWaitFor([&] { return !window->isVisible(); }, 300));
        // The work is all there, still waiting to be saved.
        EXPECT_EQ(window->document().lock().project().layerCount(), 1);
        EXPECT_TRUE(window->document().isModified());
        EXPECT_TRUE(window->captionText().endsWith("*"));
    }
}

TEST_F(EditRoadTest, AnOpenedLongProjectGetsItsWholeRulerAndThePreviewKeepsItsFrameInView) {
    Project project = Project::unnamed("Long");
    project.header.duration = 150;
    project.header.frameRate = 30;
    project.appendLayer(AnimationObject::makeSymbolObject(QSize(8, 8), project.header), SymbolId{},
                        "Text 1");
    project.objects[0].record.kind = kTextObject;
    const QString path = root.filePath("long.vrn");
    ASSERT_TRUE(ProjectStore::writeFile(path.toStdString(), project, EmbeddedSymbolList()));
    ASSERT_TRUE(window->openProjectFile(path));
    TimelinePanel& timeline = window->timeline();
    EXPECT_GE(timeline.model().rulerLength(), 150);

    window->runCommand(CommandId::PreviewButton);
    auto inView = [&] {
        const int x = timeline.model().frameX(window->document().currentFrame());
        return x >= TimelineModel::kHeaderWidth && x < timeline.width() - TimelineModel::kScrollBar;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->document().currentFrame() > 110; }, 20000));
    settle();
    EXPECT_GT(timeline.model().scrollX(), 0);
    EXPECT_TRUE(QTest::qWaitFor(inView, 2000));
    window->runCommand(CommandId::PreviewButton);
}

TEST_F(EditRoadTest, HelpShowsThePageInAWindowOfItsOwnWhenTheDesktopCannot) {
    window->runCommand(CommandId::Help);
    ASSERT_EQ(helpPagesOpened.size(), 1u);
    EXPECT_TRUE(helpPagesOpened[0].toLocalFile().endsWith("help/index.html"));
    ASSERT_NE(window->help().window(), nullptr);
    EXPECT_TRUE(window->help().window()->isVisible());
    EXPECT_TRUE(window->help().window()->toPlainText().contains("Zentravo"));
    window->help().window()->close();

    desktopOpensHelp = true; // a desktop with a browser: no window of our own
    window->runCommand(CommandId::Help);
    EXPECT_EQ(helpPagesOpened.size(), 2u);
    EXPECT_TRUE(window->help().window() == nullptr || !window->help().window()->isVisible());
}

} // namespace
