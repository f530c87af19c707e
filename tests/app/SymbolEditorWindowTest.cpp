// The symbol editor as the main window runs it: new and edited symbols reaching the library
// panel and the library folder, and the whole road of one animation from a painted symbol to
// an exported GIF.
#include "app/MainWindow.h"

#include "controls/FileFilter.h"
#include "dialogs/FrameSizeDialog.h"
#include "import/ui/ImportVideoDialog.h"
#include "stage/MotionPanelModel.h"
#include "stage/ui/MotionPanel.h"
#include "stage/ui/StageView.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/ui/FrameStrip.h"
#include "symbols/ui/ModalSymbolEditor.h"
#include "symbols/ui/PaintCanvasView.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "symbols/ui/ToolPalette.h"
#include "controls/FlatSlider.h"
#include "controls/ImageButton.h"
#include "tests/ProgramRun.h"
#include "tests/app/AppTestSupport.h"
#include "tests/symbols/SymbolTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A move over `widget` with the left button held (QTest's moves carry no buttons).
void moveHeld(QWidget* widget, QPoint to) {
    QMouseEvent event(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Paints a pencil stroke through `points` (window pixels of the canvas view) as a user would.
void paintStroke(SymbolEditor& editor, std::initializer_list<QPoint> points) {
    QTest::mouseClick(editor.palette().toolButton(PaintTool::Pencil), Qt::LeftButton);
    PaintCanvasView& view = editor.canvasView();
    const std::vector<QPoint> path(points);
    QTest::mousePress(&view, Qt::LeftButton, {}, path.front());
    for (std::size_t i = 1; i < path.size(); ++i)
        moveHeld(&view, path[i]);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, path.back());
}

bool hasOpaquePixel(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) != 0)
                return true;
    return false;
}

class SymbolEditorWindowTest : public ::testing::Test, public MainWindowHarness {
protected:
    SymbolEditorWindowTest() {
        SymbolEditor::setRememberedFrameSize(SymbolEditor::kNewSymbolFrame);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    std::string libraryFolder() const { return root.filePath("Actors/").toStdString(); }
    SymbolLibraryPanel& library() { return window->libraryPanel(); }
    // The frames `zentravo-cli library frames` writes for `id`.
    std::vector<QImage> framesFromCli(const SymbolId& id) {
        const QString out = root.filePath("cli-frames");
        const ProgramRun run =
            ProgramRun::of(ZENTRAVO_CLI, {"library", "frames", QString::fromStdString(id.toHex()),
                                          out, "--dir", QString::fromStdString(libraryFolder())});
        EXPECT_TRUE(run.ok()) << run.err.toStdString();
        std::vector<QImage> frames;
        for (int k = 0;; ++k) {
            const QImage frame(out + QString::asprintf("/frame_%03d.png", k));
            if (frame.isNull())
                return frames;
            frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
        }
    }
};

TEST_F(SymbolEditorWindowTest, ANewSymbolPaintedAndImportedReachesThePanelAndTheLibraryFile) {
    const std::string gif = root.filePath("walk.gif").toStdString();
    symboltest::writeAnimatedGif(gif, 8, 30, 20);
    const QString large = root.filePath("large.png");
    QImage big(2000, 1000, QImage::Format_ARGB32);
    big.fill(qRgb(240, 180, 20));
    ASSERT_TRUE(big.save(large));
    const int before = library().library().count();
    ASSERT_GT(before, 0); // the starter symbols

    std::vector<QImage> made;
    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& e) {
        answerModal<FrameSizeDialog>([](FrameSizeDialog* dialog) { dialog->accept(); });
        e.button(SymbolEditor::CmdNewBlankFrame)->click();
        ASSERT_EQ(e.frames().count(), 2);
        paintStroke(e, {{40, 40}, {90, 60}, {140, 120}});
        EXPECT_TRUE(hasOpaquePixel(e.frames().edited[1]));
        EXPECT_FALSE(hasOpaquePixel(e.frames().added[1]));
        files.lists.push_back({QString::fromStdString(gif), large});
        e.button(SymbolEditor::CmdImportPicture)->click();
        ASSERT_EQ(e.frames().count(), 2 + 8 + 1);
        EXPECT_EQ(e.frames().edited.back().size(), QSize(978, 489));
        made = e.frames().edited;
        e.button(SymbolEditor::CmdOk)->click();
    }));
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(library().library().count(), before + 1);
    EXPECT_EQ(library().library().currentIndex(), before);
    const std::optional<SymbolId> id = library().currentSymbol();
    ASSERT_TRUE(id);
    const std::vector<QImage> stored = framesFromCli(*id);
    ASSERT_EQ(stored.size(), made.size());
    for (std::size_t k = 0; k < made.size(); ++k)
        EXPECT_TRUE(stored[k] == made[k].convertToFormat(QImage::Format_ARGB32)) << "frame " << k;
}

TEST_F(SymbolEditorWindowTest, OkOnTheUntouchedFrameSaysSoAndWritesNothing) {
    const QByteArray index = readAll(root.filePath("Actors/Actors.sbg"));
    const int before = library().library().count();
    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& e) {
        e.button(SymbolEditor::CmdOk)->click();
        EXPECT_TRUE(e.isVisible());
        e.button(SymbolEditor::CmdCancel)->click();
    }));
    EXPECT_EQ(sink.only().text, "Nothing on the workspace to create an animation symbol.");
    EXPECT_EQ(readAll(root.filePath("Actors/Actors.sbg")), index);
    EXPECT_EQ(library().library().count(), before);
    EXPECT_EQ(QDir(root.filePath("Actors")).entryList({"*.sbl"}).size(), before);
}

TEST_F(SymbolEditorWindowTest, ADoubleClickEditsASymbolWhichKeepsItsIdAndTheIndex) {
    SymbolLibraryPanel& panel = library();
    ASSERT_GE(panel.library().count(), 2);
    const QByteArray index = readAll(root.filePath("Actors/Actors.sbg"));
    const SymbolEntry entry = panel.library().at(1);
    const QImage firstBefore = panel.library().loadFrame(entry.id, 0);

    bool opened = false;
    window->symbolEditor().setOpened([&](SymbolEditor& e) {
        opened = true;
        QTimer::singleShot(0, &e, [&] {
            EXPECT_EQ(e.frames().count(), int(entry.frameCount));
            EXPECT_EQ(e.button(SymbolEditor::CmdOk)->text(), "OK");
            paintStroke(e, {{10, 10}, {60, 30}});
            e.button(SymbolEditor::CmdOk)->click();
        });
    });
    // The double click posts the edit message; the window runs the edit command on it.
    QTest::mouseDClick(&panel, Qt::LeftButton, {}, panel.grid().pictureRect(1).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 5000));
    settle();
    window->symbolEditor().setOpened({});
    EXPECT_EQ(readAll(root.filePath("Actors/Actors.sbg")), index);
    EXPECT_EQ(panel.library().at(1).id, entry.id);
    EXPECT_EQ(panel.library().currentIndex(), 1);
    EXPECT_NE(panel.library().loadFrame(entry.id, 0), firstBefore);
}

TEST_F(SymbolEditorWindowTest, ImportVideoAddsTheFramesTheCommandLineGrabs) {
    const QString video = root.filePath("clip.mp4");
    const ProgramRun made =
        ProgramRun::of("/usr/bin/ffmpeg",
                       {"-v", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc=duration=2:size=160x120:rate=25", "-pix_fmt", "yuv420p", video});
    ASSERT_TRUE(made.ok()) << made.err.toStdString();

    std::vector<QImage> imported;
    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& e) {
        files.paths.push_back(video);
        answerModal<ImportVideoDialog>([](ImportVideoDialog* dialog) {
            EXPECT_EQ(dialog->model().end() - dialog->model().start(), 24);
            dialog->okButton()->click();
        });
        e.button(SymbolEditor::CmdImportVideo)->click();
        ASSERT_FALSE(files.requests.empty());
        EXPECT_TRUE(FileFilter::toQt(files.requests.back().filter).contains("*.mp4"));
        ASSERT_EQ(e.frames().count(), 1 + 24);
        EXPECT_EQ(e.currentFrame(), 24);
        imported.assign(e.frames().edited.begin() + 1, e.frames().edited.end());
        e.button(SymbolEditor::CmdCancel)->click();
    }));
    ASSERT_EQ(imported.size(), 24u);
    for (int i : {0, 1, 11, 23}) {
        const QString png = root.filePath(QString("grab%1.png").arg(i));
        const ProgramRun grab = ProgramRun::of(
            ZENTRAVO_CLI, {"grab", video, QString::number(i * 0.083333, 'g', 17), png});
        ASSERT_TRUE(grab.ok()) << grab.err.toStdString();
        const QImage expected = QImage(png).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(imported[std::size_t(i)].format(), QImage::Format_ARGB32);
        EXPECT_TRUE(imported[std::size_t(i)] == expected) << "sample " << i;
    }
}

// The road of one animation as a user walks it: a new project, a symbol painted in the
// editor, placed, moved on the stage, given a straight-line motion with its end values set in
// the motion panel, saved and exported; the GIF is the command line's export of the file.
TEST_F(SymbolEditorWindowTest, FromAPaintedSymbolToAnExportedGif) {
    MainWindow& w = *window;
    ProjectProperties properties;
    properties.name = "Road";
    properties.width = 320;
    properties.height = 240;
    properties.duration = 12;
    dialogs.newProjects.push_back(properties);
    w.runCommand(CommandId::NewProject);
    ASSERT_EQ(dialogs.newProjectCalls, 1);
    ASSERT_EQ(w.document().lock().project().header.height, 240);

    ASSERT_TRUE(withEditor(CommandId::NewSymbol, [&](SymbolEditor& e) {
        answerModal<FrameSizeDialog>([](FrameSizeDialog* dialog) {
            dialog->widthEdit().setText("60");
            dialog->heightEdit().setText("40");
            dialog->accept();
        });
        e.button(SymbolEditor::CmdRemoveFrame)->click(); // the 240 x 240 frame goes
        e.button(SymbolEditor::CmdNewBlankFrame)->click();
        QTest::mouseClick(e.palette().toolButton(PaintTool::FilledRectangle), Qt::LeftButton);
        PaintCanvasView& view = e.canvasView();
        const QPoint topLeft = view.clientRect().topLeft();
        QTest::mousePress(&view, Qt::LeftButton, {}, topLeft + QPoint(2, 2));
        moveHeld(&view, topLeft + QPoint(30, 20));
        moveHeld(&view, topLeft + QPoint(200, 200)); // beyond the frame: clipped to it
        QTest::mouseRelease(&view, Qt::LeftButton, {}, topLeft + QPoint(200, 200));
        EXPECT_TRUE(hasOpaquePixel(e.frames().edited[0]));
        e.button(SymbolEditor::CmdOk)->click();
    }));
    ASSERT_TRUE(library().currentSymbol());

    w.libraryControl(0)->click(); // place on stage
    {
        auto lock = w.document().lock();
        ASSERT_EQ(lock.project().layerCount(), 1);
        const ObjectRecord& placed = lock.project().objects[0].record;
        EXPECT_EQ(placed.width, 60);
        EXPECT_EQ(placed.height, 40);
    }
    StageCanvas& canvas = w.stage().canvas();
    auto waitForDraw = [&] {
        const int draws = canvas.drawCount();
        canvas.requestRedraw();
        EXPECT_TRUE(QTest::qWaitFor([&] { return canvas.drawCount() > draws; }, 5000));
        settle();
    };
    waitForDraw();
    // The 60 x 40 object is centred on the 320 x 240 stage; drag it 40 right and 30 down.
    StageView& stage = w.stage();
    QTest::mousePress(&stage, Qt::LeftButton, {}, QPoint(160, 120));
    moveHeld(&stage, QPoint(180, 135));
    moveHeld(&stage, QPoint(200, 150));
    QTest::mouseRelease(&stage, Qt::LeftButton, {}, QPoint(200, 150));
    settle();
    EXPECT_FLOAT_EQ(w.document().lock().project().objects[0].record.startX, 170.0f);
    waitForDraw();

    w.runCommand(CommandId::AppendLiner);
    settle();
    MotionPanel& panel = w.motionPanel();
    for (int command :
         {MotionPanelModel::kEndX, MotionPanelModel::kEndAngle, MotionPanelModel::kEndOpacity}) {
        FlatSlider* slider = panel.slider(command);
        ASSERT_TRUE(slider && slider->isVisible()) << command;
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 4, 5));
        settle();
    }
    ObjectRecord moving;
    {
        auto lock = w.document().lock();
        ASSERT_EQ(lock.project().objects.count(), 2u);
        moving = lock.project().objects[1].record;
    }
    EXPECT_NE(moving.endX, moving.startX);
    EXPECT_NE(moving.endAngle, moving.startAngle);
    EXPECT_LT(moving.endOpacity, 255);

    w.runCommand(CommandId::Save); // the project has its name since it was made
    const QString project = root.filePath("Data/Road/Road.vrn");
    ASSERT_TRUE(QFileInfo::exists(project));

    const QString fromWindow = root.filePath("road"); // ".gif" is appended
    files.paths.push_back(fromWindow);
    gifLoops = 0;
    w.runCommand(CommandId::ExportGif);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.exportCommands().pipeline().progress().done.load(); }, 30000));
    ASSERT_TRUE(waitForExportEnd());
    EXPECT_TRUE(sink.messages.empty());

    const QString fromCli = root.filePath("cli.gif");
    const ProgramRun cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, fromCli});
    ASSERT_TRUE(cli.ok()) << cli.err.toStdString();
    const QByteArray expected = readAll(fromCli);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(readAll(fromWindow + ".gif"), expected);
}

} // namespace
