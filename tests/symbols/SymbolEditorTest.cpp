// The symbol editor on the offscreen platform: its frames as the strip, the canvas, the
// commands and the preview change them, and what OK writes into the library folder.
#include "symbols/ui/SymbolEditor.h"

#include "controls/FileFilter.h"
#include "dialogs/FrameSizeDialog.h"
#include "document/ColorRef.h"
#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "symbols/SymbolLibraryIndex.h"
#include "symbols/ui/FrameStrip.h"
#include "symbols/ui/PaintCanvasView.h"
#include "symbols/ui/ToolPalette.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/symbols/SymbolTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <functional>

using namespace symboltest;

namespace {

bool hasOpaquePixel(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                return true;
    return false;
}

class SymbolEditorTest : public LibraryFolderTest {
protected:
    SymbolEditorTest() {
        SymbolEditor::setRememberedFrameSize(SymbolEditor::kNewSymbolFrame);
        SymbolEditor::setOnionSkinOn(false); // as when the program starts
    }

    SymbolEditor& openNew() {
        editor = std::make_unique<SymbolEditor>(services, folder());
        return show();
    }
    SymbolEditor& openExisting(const SymbolId& id, std::uint32_t frames) {
        editor = std::make_unique<SymbolEditor>(services, folder(), id, frames);
        return show();
    }
    SymbolEditor& show() {
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        return *editor;
    }
    // The frame numbers (symboltest::frame) of the edited list, and of what the canvas shows.
    std::vector<int> editedNumbers() {
        std::vector<int> numbers;
        for (const QImage& picture : editor->frames().edited)
            numbers.push_back(frameNumber(picture));
        return numbers;
    }
    int canvasNumber() { return frameNumber(editor->canvasView().canvas().picture()); }
    // A pencil stroke across the canvas picture (canvas pixels).
    void stroke(QPoint from, QPoint to) { stroke(*editor, from, to); }
    static void stroke(SymbolEditor& e, QPoint from, QPoint to) {
        e.palette().toolButton(PaintTool::Pencil)->click();
        PaintCanvas& canvas = e.canvasView().canvas();
        canvas.pointer(PointerAction::Press, from);
        canvas.pointer(PointerAction::Move, (from + to) / 2);
        canvas.pointer(PointerAction::Move, to);
        canvas.pointer(PointerAction::Release, to);
    }
    QPoint cellCentre(int index) { return editor->strip().model().cell(index).center(); }
    void stripPress(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(&editor->strip(), Qt::LeftButton, modifiers, at);
    }
    void stripRelease(QPoint at) { QTest::mouseRelease(&editor->strip(), Qt::LeftButton, {}, at); }
    void stripMoveHeld(QPoint to) {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), editor->strip().mapToGlobal(QPointF(to)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&editor->strip(), &event);
    }
    // Answers the frame size dialog with `size` (nothing: cancel).
    void answerFrameSize(std::optional<QSize> size, QSize* shown = nullptr) {
        answerModal<FrameSizeDialog>([size, shown](FrameSizeDialog* dialog) {
            if (shown)
                *shown =
                    QSize(dialog->widthEdit().text().toInt(), dialog->heightEdit().text().toInt());
            if (!size) {
                dialog->reject();
                return;
            }
            dialog->widthEdit().setText(QString::number(size->width()));
            dialog->heightEdit().setText(QString::number(size->height()));
            dialog->accept();
        });
    }

    ProgramFolders folders{root()};
    LanguageTable texts;
    RecordingMessageSink sink;
    ScriptedFileChooser files;
    SymbolEditorServices services{folders, texts, sink, files};
    std::unique_ptr<SymbolEditor> editor;
};

TEST_F(SymbolEditorTest, TheWindowPlacesItsPartsAndNamesItsButtons) {
    SymbolEditor& e = openNew();
    EXPECT_EQ(e.size(), QSize(720, 520));
    EXPECT_EQ(e.strip().geometry(), QRect(20, 62, 680, 126));
    EXPECT_EQ(e.palette().geometry(), QRect(20, 200, 88, 300));
    EXPECT_EQ(e.canvasView().geometry(), QRect(120, 230, 410, 270));
    struct Row {
        int command;
        QRect at;
        QString text; // shown text, or the tooltip of a picture button
    };
    const Row rows[] = {
        {SymbolEditor::CmdNewBlankFrame, {20, 38, 130, 16}, "New Blank Frame"},
        {SymbolEditor::CmdImportPicture, {162, 38, 130, 16}, "Import Picture"},
        {SymbolEditor::CmdImportVideo, {304, 38, 130, 16}, "Import Video"},
        {SymbolEditor::CmdRemoveFrame, {446, 38, 130, 16}, "Remove Frame"},
        {SymbolEditor::CmdCut, {120, 200, 24, 24}, "Cut"},
        {SymbolEditor::CmdCopy, {146, 200, 24, 24}, "Copy"},
        {SymbolEditor::CmdPaste, {172, 200, 24, 24}, "Paste"},
        {SymbolEditor::CmdUndo, {198, 200, 24, 24}, "Undo"},
        {SymbolEditor::CmdRedo, {224, 200, 24, 24}, "Redo"},
        {SymbolEditor::CmdZoomIn, {250, 200, 24, 24}, "Zoom in"},
        {SymbolEditor::CmdZoomOut, {276, 200, 24, 24}, "Zoom out"},
        {SymbolEditor::CmdProperties, {302, 200, 24, 24}, "Properties"},
        {SymbolEditor::CmdOnionSkin, {334, 200, 24, 24}, "Onion Skin (previous and next frame)"},
        {SymbolEditor::CmdOk, {565, 408, 125, 22}, QString::fromStdString(texts.text(114))},
        {SymbolEditor::CmdCancel, {565, 448, 125, 22}, QString::fromStdString(texts.text(45))},
    };
    for (const Row& row : rows) {
        QAbstractButton* button = e.button(row.command);
        ASSERT_NE(button, nullptr) << row.command;
        EXPECT_EQ(button->geometry(), row.at) << row.command;
        EXPECT_EQ(button->text().isEmpty() ? button->toolTip() : button->text(), row.text);
    }

    addSymbols({2});
    const SymbolId id = SymbolLibraryIndex::read(folder() + "Actors.sbg")->front();
    SymbolEditor edit(services, folder(), id, 2);
    EXPECT_EQ(edit.button(SymbolEditor::CmdOk)->text(), QString::fromStdString(texts.text(44)));
}

TEST_F(SymbolEditorTest, AnEditedSymbolOpensOnItsFramesAndTheStripSwitchesTheCanvas) {
    const SymbolId id = addSymbols({3}).front();
    SymbolEditor& e = openExisting(id, 3);
    ASSERT_TRUE(e.loaded());
    EXPECT_EQ(editedNumbers(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(e.currentFrame(), 0);
    EXPECT_EQ(canvasNumber(), 0);

    stroke({1, 1}, {9, 6}); // an edit, then another frame: its journal does not follow
    EXPECT_EQ(frameNumber(e.frames().added[0]), 0); // list A keeps the frame as it came
    EXPECT_TRUE(e.frames().edited[0] != e.frames().added[0]);
    QTest::mouseClick(&e.strip(), Qt::LeftButton, {}, cellCentre(2));
    EXPECT_EQ(e.currentFrame(), 2);
    EXPECT_EQ(canvasNumber(), 2);
    EXPECT_EQ(e.canvasView().canvas().size(), QSize(12, 8));
    EXPECT_FALSE(e.canvasView().canvas().undo());
    EXPECT_EQ(editedNumbers()[1], 1);

    // A symbol whose file has fewer frames than the library counted does not open.
    SymbolEditor broken(services, folder(), id, 4);
    EXPECT_FALSE(broken.loaded());
    // Nor does one listed without frames (its file could not be read at all).
    SymbolEditor empty(services, folder(), id, 0);
    EXPECT_FALSE(empty.loaded());
}

// After a drop or the Delete key the strip's indexes name other pictures: the canvas must
// paint into the frame it shows, never into the one that took its place.
TEST_F(SymbolEditorTest, AfterAReorderOrADeleteTheCanvasEditsTheFrameItShows) {
    const SymbolId id = addSymbols({4}).front();
    SymbolEditor& e = openExisting(id, 4);
    // Select 1 and 3 (3 current); a Ctrl press on 3 takes it out of the selection (nothing
    // is announced) and drags frame 1 onto the right half of 3: the order becomes 0, 2, 3, 1
    // and index 3, still "current", now holds frame 1.
    QTest::mouseClick(&e.strip(), Qt::LeftButton, {}, cellCentre(1));
    QTest::mouseClick(&e.strip(), Qt::LeftButton, Qt::ControlModifier, cellCentre(3));
    ASSERT_EQ(e.currentFrame(), 3);
    const QPoint to = cellCentre(3) + QPoint(30, 0);
    stripPress(cellCentre(3), Qt::ControlModifier);
    stripMoveHeld(to);
    stripRelease(to);
    ASSERT_EQ(editedNumbers(), (std::vector<int>{0, 2, 3, 1}));
    EXPECT_EQ(e.currentFrame(), 3);
    EXPECT_EQ(canvasNumber(), 1);
    stroke({0, 0}, {11, 7});
    EXPECT_EQ(frameNumber(e.frames().edited[2]), 3); // untouched
    EXPECT_EQ(e.frames().edited[3].pixel(0, 0), qRgba(0, 0, 0, 255));

    // A Ctrl press on the only selected frame empties the selection; dragging then moves
    // nothing, and painting still reaches the frame shown.
    QTest::mouseClick(&e.strip(), Qt::LeftButton, {}, cellCentre(2));
    ASSERT_EQ(e.currentFrame(), 2);
    const std::vector<QImage> before = e.frames().edited;
    stripPress(cellCentre(2), Qt::ControlModifier);
    stripMoveHeld(cellCentre(0));
    stripRelease(cellCentre(0));
    ASSERT_TRUE(e.frames().edited == before);
    EXPECT_EQ(e.currentFrame(), 2);
    stroke({0, 0}, {11, 7});
    EXPECT_EQ(e.frames().edited[2].pixel(0, 0), qRgba(0, 0, 0, 255));

    // Delete with the first frame current: frame 2 moves up and the canvas shows it.
    QTest::mouseClick(&e.strip(), Qt::LeftButton, {}, cellCentre(0));
    ASSERT_EQ(e.currentFrame(), 0);
    QTest::keyClick(&e.strip(), Qt::Key_Delete);
    EXPECT_EQ(editedNumbers()[0], 2);
    EXPECT_EQ(e.currentFrame(), 0);
    EXPECT_EQ(canvasNumber(), 2);
}

TEST_F(SymbolEditorTest, RemovingEveryFrameLeavesNothingToPaintOrSave) {
    SymbolEditor& e = openNew();
    e.runCommand(SymbolEditor::CmdRemoveFrame);
    EXPECT_EQ(e.frames().count(), 0);
    EXPECT_EQ(e.frames().added.size(), 0u);
    EXPECT_EQ(e.frames().flags.size(), 0u);
    EXPECT_EQ(e.currentFrame(), -1);
    EXPECT_FALSE(e.canvasView().isVisible());
    e.runCommand(SymbolEditor::CmdOk);
    EXPECT_EQ(sink.only().text, "Nothing on the workspace to create an animation symbol.");
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_EQ(sink.only().icon, MessageIcon::Information);
    EXPECT_TRUE(e.isVisible());
    EXPECT_FALSE(std::filesystem::exists(folder()));

    answerFrameSize(QSize(30, 20));
    e.runCommand(SymbolEditor::CmdNewBlankFrame);
    EXPECT_TRUE(e.canvasView().isVisible());
    EXPECT_EQ(e.currentFrame(), 0);
}

TEST_F(SymbolEditorTest, BlankFramesTakeTheRememberedSizeAndPropertiesResizeTheFrame) {
    SymbolEditor& e = openNew();
    QSize shown;
    answerFrameSize(QSize(100, 80), &shown);
    e.runCommand(SymbolEditor::CmdNewBlankFrame);
    EXPECT_EQ(shown, QSize(240, 240));
    ASSERT_EQ(e.frames().count(), 2);
    EXPECT_EQ(e.frames().edited[1].size(), QSize(100, 80));
    EXPECT_FALSE(hasOpaquePixel(e.frames().edited[1]));
    EXPECT_EQ(e.currentFrame(), 1);
    EXPECT_EQ(SymbolEditor::rememberedFrameSize(), QSize(100, 80));
    answerFrameSize(std::nullopt, &shown); // cancelled: nothing added
    e.runCommand(SymbolEditor::CmdNewBlankFrame);
    EXPECT_EQ(shown, QSize(100, 80));
    EXPECT_EQ(e.frames().count(), 2);

    // Properties shows the frame's own size and keeps its top-left pixels, unscaled.
    stroke({0, 0}, {99, 0});
    answerFrameSize(QSize(50, 200), &shown);
    e.runCommand(SymbolEditor::CmdProperties);
    EXPECT_EQ(shown, QSize(100, 80));
    const QImage resized = e.frames().edited[1];
    ASSERT_EQ(resized.size(), QSize(50, 200));
    EXPECT_EQ(qAlpha(resized.pixel(49, 0)), 255);
    EXPECT_EQ(qAlpha(resized.pixel(10, 150)), 0);
    EXPECT_EQ(SymbolEditor::rememberedFrameSize(), QSize(100, 80)); // only blank frames set it
    e.runCommand(SymbolEditor::CmdUndo);
    EXPECT_EQ(e.frames().edited[1].size(), QSize(100, 80));
}

TEST_F(SymbolEditorTest, PropertiesWithTheSameSizeIsStillAStepToUndo) {
    SymbolEditor& e = openNew();
    stroke({0, 0}, {50, 0});
    PaintCanvas& canvas = e.canvasView().canvas();
    const std::uint32_t steps = canvas.journal().count();
    int reported = 0;
    QObject::connect(&e.canvasView(), &PaintCanvasView::canvasChanged, [&] { ++reported; });
    answerFrameSize(QSize(240, 240));
    e.runCommand(SymbolEditor::CmdProperties);
    EXPECT_EQ(canvas.journal().count(), steps + 1);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(e.frames().edited[0].size(), QSize(240, 240));
    // The step undoes to the stroke; the next undo takes the stroke away.
    e.runCommand(SymbolEditor::CmdUndo);
    EXPECT_TRUE(hasOpaquePixel(e.frames().edited[0]));
    e.runCommand(SymbolEditor::CmdUndo);
    EXPECT_FALSE(hasOpaquePixel(e.frames().edited[0]));
    answerFrameSize(std::nullopt); // cancelled: no step
    e.runCommand(SymbolEditor::CmdProperties);
    EXPECT_EQ(canvas.journal().count(), steps + 1);
}

TEST_F(SymbolEditorTest, OkLooksAtTheFramesBeforeAFloatingSelectionIsDropped) {
    // The only frame's picture is cut out and pasted back: it floats over an empty frame.
    SymbolEditor& e = openNew();
    stroke({10, 10}, {100, 60});
    e.palette().toolButton(PaintTool::Selection)->click();
    PaintCanvas& canvas = e.canvasView().canvas();
    canvas.pointer(PointerAction::Press, {0, 0});
    canvas.pointer(PointerAction::Move, {60, 40});
    canvas.pointer(PointerAction::Release, {120, 80});
    e.runCommand(SymbolEditor::CmdCut);
    e.runCommand(SymbolEditor::CmdPaste);
    ASSERT_TRUE(canvas.selection().hasFloating());
    ASSERT_FALSE(hasOpaquePixel(e.frames().edited[0]));

    e.runCommand(SymbolEditor::CmdOk);
    EXPECT_EQ(sink.only().text, "Nothing on the workspace to create an animation symbol.");
    EXPECT_TRUE(e.isVisible());
    EXPECT_TRUE(canvas.selection().hasFloating()); // still floating, still movable
    EXPECT_FALSE(std::filesystem::exists(folder()));

    // Dropped by a press beside it, it is part of the frame, which OK then saves.
    canvas.pointer(PointerAction::Press, {200, 200});
    canvas.pointer(PointerAction::Release, {200, 200});
    EXPECT_TRUE(hasOpaquePixel(e.frames().edited[0]));
    sink.clear();
    e.runCommand(SymbolEditor::CmdOk);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(e.savedSymbol());
}

TEST_F(SymbolEditorTest, ClosingAsksBeforeDiscardingChangesAndNoKeepsTheEditorOpen) {
    const SymbolId id = addSymbols({2}).front();
    const QByteArray stored = readAll(SymbolLibrary(folder()).symbolPath(id));
    // The three ways out without saving: Cancel, Esc to the focused control, the close button.
    const std::function<void(SymbolEditor&)> closes[] = {
        [](SymbolEditor& e) { e.button(SymbolEditor::CmdCancel)->click(); },
        [](SymbolEditor& e) {
            QTest::keyClick(e.focusWidget() ? e.focusWidget() : &e, Qt::Key_Escape);
        },
        [](SymbolEditor& e) { e.findChild<QAbstractButton*>(QStringLiteral("close"))->click(); },
    };
    // Nothing changed, or every change undone: closing asks nothing.
    for (const auto& close : closes) {
        SymbolEditor& e = openExisting(id, 2);
        stroke({0, 0}, {11, 0});
        e.runCommand(SymbolEditor::CmdUndo);
        sink.clear();
        close(e);
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_FALSE(e.isVisible());
    }

    struct Row {
        const char* what;
        std::function<void(SymbolEditor&)> change;
    };
    const Row rows[] = {
        {"painted",
         [this](SymbolEditor&) {
             stroke({0, 0}, {11, 7});
         }},
        {"blank frame added",
         [this](SymbolEditor& e) {
             answerFrameSize(QSize(20, 20));
             e.runCommand(SymbolEditor::CmdNewBlankFrame);
         }},
        {"frame removed", [](SymbolEditor& e) { e.runCommand(SymbolEditor::CmdRemoveFrame); }},
        {"frames reordered",
         [this](SymbolEditor&) {
             const QPoint from = cellCentre(1);
             const QPoint to = cellCentre(0) - QPoint(30, 0); // the left half of frame 0
             stripPress(from);
             for (int step = 1; step <= 10; ++step)
                 stripMoveHeld(from + (to - from) * step / 10);
             stripRelease(to);
             EXPECT_EQ(editedNumbers(), (std::vector<int>{1, 0}));
         }},
        {"picture pasted, still floating",
         [](SymbolEditor& e) {
             e.palette().toolButton(PaintTool::Selection)->click();
             PaintCanvas& canvas = e.canvasView().canvas();
             canvas.pointer(PointerAction::Press, {2, 2});
             canvas.pointer(PointerAction::Release, {6, 6});
             e.runCommand(SymbolEditor::CmdCopy);
             e.runCommand(SymbolEditor::CmdPaste);
             EXPECT_TRUE(canvas.selection().hasFloating());
         }},
    };
    for (const Row& row : rows) {
        for (std::size_t way = 0; way < std::size(closes); ++way) {
            SCOPED_TRACE(std::string(row.what) + ", way out " + std::to_string(way));
            SymbolEditor& e = openExisting(id, 2);
            row.change(e);
            const std::vector<QImage> changed = e.frames().edited;
            ASSERT_TRUE(e.hasChanges());

            sink.clear();
            sink.answer = MessageAnswer::No; // keep editing
            closes[way](e);
            EXPECT_EQ(sink.only().text, "Discard the changes to this animation symbol?");
            EXPECT_EQ(sink.only().caption, "Zentravo");
            EXPECT_EQ(sink.only().icon, MessageIcon::Question);
            EXPECT_EQ(sink.only().buttons, MessageButtons::YesNo);
            EXPECT_TRUE(e.isVisible());
            EXPECT_EQ(e.frames().edited, changed);

            sink.clear();
            sink.answer = MessageAnswer::Yes; // discard
            closes[way](e);
            EXPECT_EQ(sink.messages.size(), 1u);
            EXPECT_FALSE(e.isVisible());
            EXPECT_EQ(e.result(), QDialog::Rejected);
            EXPECT_FALSE(e.savedSymbol());
        }
    }
    EXPECT_EQ(readAll(SymbolLibrary(folder()).symbolPath(id)), stored);
}

TEST_F(SymbolEditorTest, ThePreviewPlaysEveryFrameInTurn) {
    const SymbolId id = addSymbols({3}).front();
    SymbolEditor& e = openExisting(id, 3);
    std::vector<int> shown{frameNumber(e.previewPicture())}; // drawn once at opening
    for (int i = 0; i < 4; ++i) {
        e.previewTick();
        shown.push_back(frameNumber(e.previewPicture()));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
    // The frames are fitted into the box, keeping their aspect.
    const QSize box = SymbolEditor::previewBox().size();
    EXPECT_LE(e.previewPicture().width(), box.width());
    EXPECT_EQ(e.previewPicture().width() * 8, e.previewPicture().height() * 12);
}

TEST_F(SymbolEditorTest, ImportPictureAddsEveryGifFrameAndShrinksLargePictures) {
    const std::string gif = root() + "/walk.gif";
    writeAnimatedGif(gif, 8, 24, 16);
    const QString large = QString::fromStdString(root() + "/large.png");
    QImage big(2000, 1000, QImage::Format_ARGB32);
    big.fill(qRgb(10, 120, 240));
    ASSERT_TRUE(big.save(large));
    const QString text = QString::fromStdString(root() + "/notes.png");
    writeAll(text.toStdString(), "not a picture");

    SymbolEditor& e = openNew();
    files.lists.push_back({QString::fromStdString(gif), text, large,
                           QString::fromStdString(root() + "/missing.bmp")});
    e.runCommand(SymbolEditor::CmdImportPicture);
    ASSERT_EQ(files.requests.size(), 1u);
    // In the program's form, which the file dialog turns into its own.
    EXPECT_TRUE(FileFilter::toQt(files.requests[0].filter)
                    .contains("*.gif *.ico *.jpg *.jpeg *.bmp *.png"));
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(e.frames().count(), 1 + 8 + 1);
    std::vector<QRgb> gifColours;
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(e.frames().edited[std::size_t(i)].size(), QSize(24, 16));
        gifColours.push_back(e.frames().edited[std::size_t(i)].pixel(5, 5));
    }
    std::sort(gifColours.begin(), gifColours.end());
    EXPECT_EQ(std::unique(gifColours.begin(), gifColours.end()), gifColours.end());
    EXPECT_EQ(e.frames().edited[9].size(), QSize(978, 489));
    EXPECT_EQ(e.frames().added[9].size(), QSize(978, 489));
    EXPECT_EQ(e.currentFrame(), 9);
    EXPECT_EQ(e.canvasView().canvas().size(), QSize(978, 489));
    // The strip shows the new current frame.
    EXPECT_TRUE(e.strip().rect().contains(e.strip().model().cell(9)));
}

// A GIF whose frames would take more memory than an import may use (a 40000 x 30000 screen,
// 2 frames of 1 pixel: 16 GiB) is refused with a message; the files around it still import.
TEST_F(SymbolEditorTest, ImportPictureSaysWhyAGifTooLargeToImportIsLeftOut) {
    // Header, 2-entry global table, then two 1 x 1 images (code size 2: clear, 1, end), trailer.
    QByteArray huge("GIF89a\x40\x9C\x30\x75\x80\0\0\0\0\0\xFF\xFF\xFF", 19);
    for (int i = 0; i < 2; ++i)
        huge += QByteArray("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x4C\x01\0", 15);
    huge += ';';
    const std::string path = root() + "/huge.gif";
    writeAll(path, huge);
    const std::string small = root() + "/walk.gif";
    writeAnimatedGif(small, 3, 24, 16);

    SymbolEditor& e = openNew();
    files.lists.push_back({QString::fromStdString(path), QString::fromStdString(small)});
    e.runCommand(SymbolEditor::CmdImportPicture);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(sink.messages[0].text.find("40000 x 30000"), std::string::npos)
        << sink.messages[0].text;
    EXPECT_EQ(e.frames().count(), 1 + 3);
}

TEST_F(SymbolEditorTest, OkWritesANewSymbolAndAFailedWriteKeepsTheEditorOpen) {
    // The library folder cannot be made: a file stands where it should be.
    writeAll(root() + "/Blocked", "file");
    SymbolEditor blocked(services, root() + "/Blocked/", nullptr);
    blocked.show();
    stroke(blocked, {5, 5}, {50, 50});
    blocked.runCommand(SymbolEditor::CmdOk);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(blocked.isVisible());
    EXPECT_EQ(blocked.result(), 0);
    EXPECT_FALSE(blocked.savedSymbol());
    sink.clear();

    addSymbols({1});
    const QByteArray indexBefore = readAll(folder() + "Actors.sbg");
    SymbolEditor& e = openNew();
    stroke({10, 10}, {200, 120});
    const std::vector<QImage> made = e.frames().edited;
    e.runCommand(SymbolEditor::CmdOk);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(e.result(), QDialog::Accepted);
    ASSERT_TRUE(e.savedSymbol());
    const std::optional<std::vector<SymbolId>> index =
        SymbolLibraryIndex::read(folder() + "Actors.sbg");
    ASSERT_TRUE(index && index->size() == 2);
    EXPECT_EQ(index->back(), *e.savedSymbol());
    EXPECT_NE(readAll(folder() + "Actors.sbg"), indexBefore);
    const QImage stored = SymbolLibrary(folder()).loadFrame(*e.savedSymbol(), 0);
    EXPECT_EQ(stored.convertToFormat(QImage::Format_ARGB32), made[0]);
}

TEST_F(SymbolEditorTest, EditingKeepsTheIdAndLeavesTheIndexAlone) {
    const SymbolId id = addSymbols({2}).front();
    const QByteArray indexBefore = readAll(folder() + "Actors.sbg");
    SymbolEditor& e = openExisting(id, 2);
    stroke({0, 0}, {11, 0});
    e.runCommand(SymbolEditor::CmdRemoveFrame); // frame 0 is selected: frame 1 stays
    ASSERT_EQ(e.frames().count(), 1);
    e.runCommand(SymbolEditor::CmdOk);
    ASSERT_EQ(e.savedSymbol(), id);
    EXPECT_EQ(readAll(folder() + "Actors.sbg"), indexBefore);
    SymbolLibrary library(folder());
    library.load();
    ASSERT_EQ(library.count(), 1);
    EXPECT_EQ(library.at(0).frameCount, 1u);
    EXPECT_EQ(frameNumber(library.loadFrame(id, 0)), 1);
}

// ---- onion skin ---------------------------------------------------------------------------

// Three 40 x 30 frames, transparent but for a 10 x 10 square each, in different places:
// frame 0 red at A, frame 1 green at B, frame 2 blue at C; and a 4 x 4 square of the frame's
// colour at D in all three.
const QPoint kSquareA(5, 5), kSquareB(20, 15), kSquareC(35, 25), kSquareD(35, 5);

std::vector<QImage> squareFrames() {
    const QRgb colours[] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 200)};
    const QPoint places[] = {kSquareA, kSquareB, kSquareC};
    std::vector<QImage> frames;
    for (int n = 0; n < 3; ++n) {
        QImage picture(40, 30, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = -5; y < 5; ++y)
            for (int x = -5; x < 5; ++x)
                picture.setPixel(places[n] + QPoint(x, y), colours[n]);
        for (int y = -2; y < 2; ++y)
            for (int x = -2; x < 2; ++x)
                picture.setPixel(kSquareD + QPoint(x, y), colours[n]);
        frames.push_back(picture);
    }
    return frames;
}

class OnionSkinTest : public SymbolEditorTest {
protected:
    SymbolEditor& openSquares() {
        const std::optional<SymbolId> id = SymbolLibrary::addSymbol(folder(), squareFrames());
        EXPECT_TRUE(id.has_value());
        return openExisting(id.value_or(SymbolId{}), 3);
    }
    // What the canvas window shows at canvas pixel `p` (zoom 1, not scrolled).
    QRgb shown(QPoint p) { return editor->canvasView().grab().toImage().pixel(p); }
    void choose(int index) {
        QTest::mouseClick(&editor->strip(), Qt::LeftButton, {}, cellCentre(index));
        ASSERT_EQ(editor->currentFrame(), index);
    }
    // A person's pencil stroke on the canvas window: press, small moves, release.
    void drawStroke(QPoint from, QPoint to) {
        editor->palette().toolButton(PaintTool::Pencil)->click();
        PaintCanvasView& view = editor->canvasView();
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        for (int k = 1; k <= 8; ++k)
            QTest::mouseMove(&view, from + (to - from) * k / 8);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    }
};

bool reddish(QRgb c) {
    return qRed(c) > qBlue(c) + 15 && qRed(c) > qGreen(c) + 15;
}
bool bluish(QRgb c) {
    return qBlue(c) > qRed(c) + 15 && qBlue(c) > qGreen(c) + 5;
}

TEST_F(OnionSkinTest, ShowsThePreviousFrameRedAndTheNextBlueFaintlyUnderThePicture) {
    SymbolEditor& e = openSquares();
    QAbstractButton* toggle = e.button(SymbolEditor::CmdOnionSkin);
    EXPECT_FALSE(toggle->isChecked()); // off when the program starts
    std::vector<QImage> off;
    for (int k = 0; k < 3; ++k) {
        choose(k);
        off.push_back(e.canvasView().grab().toImage());
    }

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(toggle->isChecked());
    // What shows at each square with frame `current` current: the frame itself (as with the
    // onion skin off: its own square, or the checkerboard where the frame is transparent and
    // no neighbour has paint), the previous frame in red or the next in blue. The first frame
    // has no previous one, the last no next one. At D every frame has paint: the neighbours lie
    // under the current frame's opaque square, out of sight.
    enum Shows { Own, Red, Blue };
    struct Row {
        int current;
        Shows a, b, c;
    };
    const Row rows[] = {{1, Red, Own, Blue}, {0, Own, Blue, Own}, {2, Own, Red, Own}};
    for (const Row& row : rows) {
        choose(row.current);
        const QImage image = e.canvasView().grab().toImage();
        const std::pair<QPoint, Shows> squares[] = {
            {kSquareA, row.a}, {kSquareB, row.b}, {kSquareC, row.c}, {kSquareD, Own}};
        for (const auto& [at, expected] : squares) {
            const QRgb pixel = image.pixel(at);
            SCOPED_TRACE(testing::Message() << "frame " << row.current << " at " << at.x() << ","
                                            << at.y() << ": " << std::hex << pixel);
            if (expected == Own) {
                EXPECT_EQ(pixel, off[std::size_t(row.current)].pixel(at));
            } else {
                EXPECT_TRUE(expected == Red ? reddish(pixel) : bluish(pixel));
                // Faint: the checkerboard shows through.
                EXPECT_GT(std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}), 110);
            }
        }
    }

    // Off again: the canvas shows only the frame.
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(e.canvasView().grab().toImage(), off[2]);
    choose(1);
    EXPECT_EQ(e.canvasView().grab().toImage(), off[1]);
}

TEST_F(OnionSkinTest, WithOneFrameNothingIsShownAndTheToggleIsRememberedForTheRun) {
    SymbolEditor& e = openNew(); // one transparent frame
    const QRgb off = shown(QPoint(20, 20));
    e.runCommand(SymbolEditor::CmdOnionSkin);
    EXPECT_EQ(shown(QPoint(20, 20)), off);
    sink.answer = MessageAnswer::Yes;
    e.button(SymbolEditor::CmdCancel)->click();

    // The next editor opens with the onion skin on, as it was left.
    SymbolEditor& again = openSquares();
    EXPECT_TRUE(again.button(SymbolEditor::CmdOnionSkin)->isChecked());
    EXPECT_TRUE(bluish(shown(kSquareB))); // frame 0 current, frame 1 next
}

// The onion skin is only shown: the same strokes give the same frames, the same canvas picture,
// the same preview and the same journal bytes with it on as with it off.
TEST_F(OnionSkinTest, ThePicturesTheJournalAndThePreviewAreTheSameWithItOnAndOff) {
    struct Result {
        std::vector<QImage> frames;
        QImage picture;
        QByteArray journal;
        std::vector<QImage> preview;
    };
    const auto paint = [this](bool onion) {
        SymbolEditor::setOnionSkinOn(onion);
        SymbolEditor& e = openSquares();
        choose(1);
        drawStroke({2, 2}, {38, 28}); // over frame 0's square and frame 2's, shown under it
        drawStroke({38, 2}, {2, 28});
        Result result;
        result.frames = e.frames().edited;
        result.picture = e.canvasView().canvas().picture();
        result.journal = readAll(e.canvasView().canvas().journal().journalFile());
        for (int k = 0; k < 3; ++k) {
            e.previewTick();
            result.preview.push_back(e.previewPicture());
        }
        sink.answer = MessageAnswer::Yes;
        e.button(SymbolEditor::CmdCancel)->click();
        return result;
    };
    const Result off = paint(false);
    const Result on = paint(true);
    ASSERT_FALSE(off.journal.isEmpty());
    EXPECT_TRUE(on.frames == off.frames);
    EXPECT_EQ(on.picture, off.picture);
    EXPECT_EQ(on.journal, off.journal);
    EXPECT_TRUE(on.preview == off.preview);
}

// The colour picker reads the frame as it is: over a pixel where only the onion skin shows, it
// picks what it picks with the onion skin off (the checkerboard behind the transparent pixel),
// never the tinted neighbour.
TEST_F(OnionSkinTest, TheColourPickerOverAnOnionSkinPixelPicksTheFramesOwnPixel) {
    SymbolEditor& e = openSquares();
    choose(1);
    PaintCanvasView& view = e.canvasView();
    const auto pick = [&](QPoint p) {
        e.palette().toolButton(PaintTool::ColorPicker)->click();
        QTest::mouseClick(&view, Qt::LeftButton, {}, p);
        return view.canvas().settings().color;
    };
    const std::uint32_t offA = pick(kSquareA);
    const std::uint32_t offB = pick(kSquareB);
    e.runCommand(SymbolEditor::CmdOnionSkin);
    const QRgb tinted = shown(kSquareA);
    ASSERT_TRUE(reddish(tinted));
    EXPECT_EQ(pick(kSquareA), offA);
    EXPECT_NE(pick(kSquareA), ColorRef::fromArgb(tinted));
    EXPECT_EQ(pick(kSquareB), offB); // the frame's own green
    EXPECT_EQ(offB, ColorRef::fromArgb(qRgb(0, 160, 0)));
}

} // namespace
