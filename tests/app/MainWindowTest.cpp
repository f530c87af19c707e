// The real main window, driven with keys, clicks and commands on the offscreen platform.
#include "app/MainWindow.h"

#include "controls/ImageButton.h"
#include "document/ui/TimelinePanel.h"
#include "stage/ui/StageView.h"
#include "text/ui/TextPanel.h"
#include "tests/app/AppTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

std::vector<QImage> squareFrames() {
    QImage frame(12, 12, QImage::Format_ARGB32);
    frame.fill(qRgb(200, 40, 40));
    return {frame};
}

int objectCount(MainWindow& window) {
    return window.document().lock().project().objectCount();
}

QString firstMenuItem(MainWindow& window) {
    QMenu* menu = window.openMenu();
    if (!menu)
        return QString();
    const QList<QAction*> actions = menu->actions();
    const QString text = actions.isEmpty() ? QString() : actions.first()->text();
    menu->close();
    return text;
}

class MainWindowTest : public ::testing::Test, public ShownMainWindow {};

TEST_F(MainWindowTest, EveryCtrlKeyAndAcceleratorReachesItsCommand) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    key(Qt::Key_C, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(objectCount(w), 2); // copy, then paste as a new layer
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(objectCount(w), 1);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(objectCount(w), 2);
    key(Qt::Key_Delete);
    EXPECT_EQ(objectCount(w), 1);

    sink.answer = MessageAnswer::No; // keep the modified project unsaved
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs.newProjectCalls, 1);
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.chooseCalls, 1);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.nameCalls, 1); // the unnamed project is named before it is saved

    // Alt + F, E, C, H open the four menus.
    key(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(firstMenuItem(w), "New Project (Ctrl+N)");
    key(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(firstMenuItem(w), "Animation Properties");
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(firstMenuItem(w), "First Frame");
    key(Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(firstMenuItem(w), "Help (F1)");

    // Esc and Enter are swallowed: the window stays.
    key(Qt::Key_Escape);
    key(Qt::Key_Return);
    settle();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(objectCount(w), 1);
}

TEST_F(MainWindowTest, EveryTextEntryKeepsEnterDeleteAndItsEditingKeys) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    key(Qt::Key_C, Qt::ControlModifier); // the clipboard holds the object
    // The text box and the editable font-size box: Delete, Ctrl+V and Enter are theirs.
    QComboBox* sizeBox = &w.textPanel().sizeBox();
    QLineEdit* sizeEntry = sizeBox->lineEdit();
    ASSERT_NE(sizeEntry, nullptr);
    for (QWidget* entry : std::initializer_list<QWidget*>{&w.textPanel().textEdit(), sizeBox}) {
        SCOPED_TRACE(entry->metaObject()->className());
        entry->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), entry);
        key(Qt::Key_Delete);
        key(Qt::Key_V, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(objectCount(w), 1);
    }
    QSignalSpy entered(sizeEntry, &QLineEdit::returnPressed);
    sizeBox->setFocus();
    key(Qt::Key_Return);
    EXPECT_EQ(entered.count(), 1); // Enter reached the box
    // Back on the stage the same keys act on the project.
    w.stage().setFocus();
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(objectCount(w), 2);
    key(Qt::Key_Delete);
    EXPECT_EQ(objectCount(w), 1);
}

TEST_F(MainWindowTest, FrameCommandsWrapAndThePreviewButtonFollowsThePreview) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    const int duration = w.document().lock().project().header.duration; // 20
    w.runCommand(CommandId::PreviousFrame);                             // from 0: the last frame
    EXPECT_EQ(w.document().currentFrame(), duration - 1);
    w.runCommand(CommandId::NextFrameButton); // from the last: frame 0
    EXPECT_EQ(w.document().currentFrame(), 0);
    w.runCommand(CommandId::LastFrame);
    EXPECT_EQ(w.document().currentFrame(), duration - 1);
    w.runCommand(CommandId::FirstFrameButton);
    EXPECT_EQ(w.document().currentFrame(), 0);

    ImageButton* play = w.toolbarButton(CommandId::PreviewButton);
    w.runCommand(CommandId::PreviewButton);
    EXPECT_TRUE(w.stage().canvas().isPlaying());
    EXPECT_EQ(play->toolTip(), "Stop Preview");
    EXPECT_EQ(play->picture(), ":/icons/stop.svg");
    w.runCommand(CommandId::NextFrame); // a frame command stops it and puts the button back
    EXPECT_FALSE(w.stage().canvas().isPlaying());
    EXPECT_EQ(play->toolTip(), "Preview Animation");
    EXPECT_EQ(play->picture(), ":/icons/play.svg");

    // The worker ends a preview that reached the last frame: the button comes back by itself.
    w.runCommand(CommandId::LastFrame);
    w.runCommand(CommandId::Preview);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.stage().canvas().isPlaying(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return play->toolTip() == "Preview Animation"; }, 2000));
    EXPECT_EQ(w.document().currentFrame(), 0);
}

TEST_F(MainWindowTest, TheMotionPanelShowsOnlyWhileTheProjectHasLayers) {
    MainWindow& w = *window;
    const int narrow = MainWindowLayout(w.size(), true).timeline().width();
    EXPECT_FALSE(w.layout().motionPanelShown());
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    settle();
    EXPECT_TRUE(w.layout().motionPanelShown());
    EXPECT_EQ(w.layout().timeline().width(), narrow);
    w.runCommand(CommandId::Undo); // back to no layers
    settle();
    EXPECT_FALSE(w.layout().motionPanelShown());
    EXPECT_EQ(w.layout().timeline().width(), narrow + 290);
}

TEST_F(MainWindowTest, ExitAsksAboutAModifiedProjectAndSavesOnYes) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    sink.answer = MessageAnswer::Yes;
    dialogs.names.push_back("Kept");
    w.runCommand(CommandId::ExitButton);
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages[0].text,
              "The current project has been modified. Do you want to save it first?");
    EXPECT_EQ(sink.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(dialogs.nameCalls, 1);
    EXPECT_TRUE(QFileInfo::exists(root.filePath("Data/Kept/Kept.vrn")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 6000)); // then it closes
}

TEST_F(MainWindowTest, ClosingTheWindowRunsTheSameExitAndNoLeavesTheProjectUnsaved) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    sink.answer = MessageAnswer::No;
    w.close(); // as the window manager would
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(dialogs.nameCalls, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 6000));
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Data/Untitled")));
}

TEST_F(MainWindowTest, SaveOfAnUnnamedProjectTakesTheNameOnlyWhenTheIndexAcceptsIt) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    dialogs.names.push_back("Clip");
    w.runCommand(CommandId::Save);
    EXPECT_TRUE(QFileInfo::exists(root.filePath("Data/Clip/Clip.vrn")));
    EXPECT_FALSE(w.document().isModified());
    EXPECT_EQ(w.document().lock().project().name(), "Clip");

    // A second unnamed project refused the same name keeps its own.
    w.editor().startUnnamed("Untitled");
    dialogs.names.push_back("Clip");
    w.runCommand(CommandId::Save);
    EXPECT_EQ(w.document().lock().project().name(), "Untitled");
    EXPECT_EQ(sink.messages.back().text,
              "A project with this name already exists. Please choose another name.");
}

TEST_F(MainWindowTest, OpenSampleThenOpenProjectClearsTheSampleFlag) {
    MainWindow& w = *window;
    dialogs.samples.push_back(2);
    w.post(MainMessage::OpenSample, 0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.projectCommands().isSampleProject(); }, 5000));
    EXPECT_EQ(w.document().lock().project().name(), "Sample Project 2");
    EXPECT_FALSE(w.document().isModified());
    EXPECT_TRUE(w.layout().motionPanelShown());

    // Saved under its sample name (no name asked), then opened from the index by name.
    w.runCommand(CommandId::Save);
    EXPECT_EQ(dialogs.nameCalls, 0);
    ASSERT_TRUE(QFileInfo::exists(root.filePath("Data/Sample Project 2/Sample Project 2.vrn")));
    const ProgramFolders folders(root.path().toStdString());
    ASSERT_TRUE(ProjectIndex(folders, application->texts(), sink).add("Sample Project 2"));
    dialogs.projects.push_back("Sample Project 2");
    w.runCommand(CommandId::OpenProject);
    EXPECT_FALSE(w.projectCommands().isSampleProject());
    EXPECT_EQ(w.document().lock().history().count(), 1); // the loaded state is undo entry 0
}

TEST_F(MainWindowTest, TimelineDragsScrubbingAndMenuGoThroughTheWindow) {
    MainWindow& w = *window;
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), squareFrames()));
    settle();
    TimelinePanel& timeline = w.timeline();
    const int y = timeline.model().rowTop(0, 1) + 13;
    const int outerEnd = timeline.model().frameX(20); // the object spans frames 0..20
    const int steps = w.document().lock().history().count();

    // Press on the span's end, drag it to frame 11, release: one undo step.
    QTest::mousePress(&timeline, Qt::LeftButton, {}, QPoint(outerEnd - 1, y));
    QTest::mouseMove(&timeline, QPoint(timeline.model().frameX(11) + 5, y));
    QTest::mouseRelease(&timeline, Qt::LeftButton, {}, QPoint(timeline.model().frameX(11) + 5, y));
    settle();
    EXPECT_EQ(w.document().lock().project().objects[0].record.endFrame, 11);
    EXPECT_EQ(w.document().lock().history().count(), steps + 1);
    w.runCommand(CommandId::Undo);
    EXPECT_EQ(w.document().lock().project().objects[0].record.endFrame, 20);

    // Scrubbing from the current-frame marker shows the frame on the stage.
    const int marker = timeline.model().frameX(0);
    QTest::mousePress(&timeline, Qt::LeftButton, {}, QPoint(marker, 25));
    QTest::mouseMove(&timeline, QPoint(timeline.model().frameX(6) + 3, 25));
    settle();
    EXPECT_EQ(w.document().currentFrame(), 6);
    QTest::mouseRelease(&timeline, Qt::LeftButton, {}, QPoint(timeline.model().frameX(6) + 3, 25));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.stage().canvas().lastDrawnFrame() == 6; }, 3000));

    // A right click on a row opens the main context menu.
    QTest::mouseClick(&timeline, Qt::RightButton, {}, QPoint(timeline.model().frameX(3), y));
    settle();
    EXPECT_EQ(firstMenuItem(w), "New Project (Ctrl+N)");
}

} // namespace
