// The library panel's wiring on the offscreen platform: mouse, wheel and keys reach its rules,
// its messages reach a recording target and sink, and what it paints follows its state.
#include "symbols/ui/SymbolLibraryPanel.h"

#include "document/LanguageTable.h"
#include "document/MessageTarget.h"
#include "document/ProgramFolders.h"
#include "symbols/Symbol.h"
#include "symbols/SymbolLibraryIndex.h"
#include "symbols/ui/SymbolEditorLauncher.h"
#include "tests/ProgramRun.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/symbols/SymbolTestSupport.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <filesystem>

using namespace symboltest;

namespace {

class RecordingTarget : public MessageTarget {
public:
    std::vector<std::pair<MainMessage, std::intptr_t>> posts;
    void post(MainMessage message, std::intptr_t wparam, std::intptr_t) override {
        posts.emplace_back(message, wparam);
    }
};

// An editor stand-in that writes what a user would have made.
class FakeEditor : public SymbolEditorLauncher {
public:
    bool ok = true;
    std::optional<SymbolId> editedId;
    std::uint32_t editedFrames = 0;
    bool editNewSymbol(const std::string& folder) override {
        return ok && SymbolLibrary::addSymbol(folder, {frame(9), frame(10)}).has_value();
    }
    bool editSymbol(const std::string& folder, const SymbolId& id, std::uint32_t frames) override {
        editedId = id;
        editedFrames = frames;
        return ok && SymbolLibrary::writeSymbol(folder, id, {frame(11)});
    }
    bool editRecovered(const std::string& folder, const std::optional<SymbolId>& editing,
                       const std::vector<QImage>& frames) override {
        editedId = editing;
        return ok && (editing ? SymbolLibrary::writeSymbol(folder, *editing, frames)
                              : SymbolLibrary::addSymbol(folder, frames).has_value());
    }
};

class SymbolLibraryPanelTest : public LibraryFolderTest {
protected:
    // A shown panel of 180 x 300 (three columns) over `frameCounts.size()` symbols.
    SymbolLibraryPanel& open(const std::vector<int>& frameCounts, QSize size = QSize(180, 300)) {
        ids = addSymbols(frameCounts);
        if (frameCounts.empty()) { // an empty index: not a first start
            std::filesystem::create_directories(folder());
            EXPECT_TRUE(SymbolLibraryIndex::write(folder() + "Actors.sbg", {}));
        }
        panel = std::make_unique<SymbolLibraryPanel>(folders, texts, &target, sink);
        panel->resize(size);
        panel->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        return *panel;
    }
    QPoint centreOf(int index) { return panel->grid().pictureRect(index).center(); }
    void press(QPoint at) { QTest::mousePress(panel.get(), Qt::LeftButton, {}, at); }
    void release(QPoint at) { QTest::mouseRelease(panel.get(), Qt::LeftButton, {}, at); }
    // A move with the left button held (QTest's moves carry no buttons).
    void moveHeld(QPoint to) {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), panel->mapToGlobal(QPointF(to)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel.get(), &event);
    }
    QColor shown(QPoint at) { return panel->grab().toImage().pixelColor(at); }
    std::vector<int> selected() {
        std::vector<int> indices;
        for (int i = 0; i < panel->library().count(); ++i)
            if (panel->library().at(i).selected)
                indices.push_back(i);
        return indices;
    }
    bool posted(MainMessage message, std::intptr_t wparam) {
        return std::find(target.posts.begin(), target.posts.end(),
                         std::make_pair(message, wparam)) != target.posts.end();
    }

    ProgramFolders folders{root()};
    LanguageTable texts;
    RecordingTarget target;
    RecordingMessageSink sink;
    std::vector<SymbolId> ids;
    std::unique_ptr<SymbolLibraryPanel> panel;
};

const QColor kBackground(234, 235, 237);

} // namespace

TEST_F(SymbolLibraryPanelTest, AClickSelectsFramesAndAnnouncesTheSymbol) {
    open({1, 1, 1, 1});
    const QRect second = panel->grid().pictureRect(1);
    const QPoint frameLeft(second.left() - 1, second.center().y());
    EXPECT_EQ(shown(frameLeft), kBackground);
    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(posted(MainMessage::SymbolChosen, 1));
    EXPECT_EQ(panel->currentSymbol(), ids[1]);
    EXPECT_TRUE(panel->hasFocus());
    // The selection frame, drawn twice: one pixel outside the picture and one further out.
    EXPECT_EQ(shown(frameLeft), QColor(200, 200, 200));
    EXPECT_EQ(shown(frameLeft - QPoint(1, 0)), QColor(200, 200, 200));
    EXPECT_EQ(shown(panel->grid().pictureRect(0).topLeft() - QPoint(1, -10)), kBackground);
}

TEST_F(SymbolLibraryPanelTest, RubberBandSelectsTheSymbolsItTouches) {
    open({1, 1, 1, 1, 1});
    const QPoint empty = panel->grid().pictureRect(5).center(); // the cell after the last
    press(empty);
    moveHeld(QPoint(80, 30));
    // The band is painted translucent blue, here over the inset between two columns.
    const QPoint gap(111, 40);
    const QColor band = shown(gap);
    EXPECT_NE(band, kBackground);
    EXPECT_GT(band.blue(), band.red() + 50);
    release(QPoint(80, 30));
    EXPECT_EQ(selected(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(shown(gap), kBackground);
    // Ctrl+A selects all; with multiple selection off, the band and Ctrl+A do nothing.
    QTest::keyClick(panel.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected().size(), 5u);
    panel->setMultipleSelection(false);
    panel->selectIndex(0);
    press(empty);
    moveHeld(QPoint(80, 30));
    release(QPoint(80, 30));
    QTest::keyClick(panel.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), std::vector<int>{0});
}

TEST_F(SymbolLibraryPanelTest, DraggingReordersShowsTheDropBarAndTheOrderIsSavedBeforeExit) {
    open({1, 1, 1, 1});
    const QRect first = panel->grid().pictureRect(0);
    press(centreOf(2));
    for (int step = 0; step < 3; ++step)
        moveHeld(QPoint(first.right() - 4 + step, first.center().y()));
    // The drop bar stands right of the first symbol.
    EXPECT_EQ(shown(QPoint(first.right() + 2, first.center().y())), QColor(100, 100, 100));
    EXPECT_EQ(shown(QPoint(first.left() - 2, first.center().y())), kBackground);
    release(QPoint(first.right() - 2, first.center().y()));
    EXPECT_EQ(idsOf(panel->library()), (std::vector<SymbolId>{ids[0], ids[2], ids[1], ids[3]}));
    EXPECT_EQ(panel->currentSymbol(), ids[2]);

    const std::string index = folder() + "Actors.sbg";
    EXPECT_EQ(readAll(index).mid(4, 16),
              QByteArray(reinterpret_cast<const char*>(ids[0].bytes.data()), 16));
    panel->beforeExit();
    const QByteArray saved = readAll(index);
    EXPECT_EQ(saved.mid(20, 16),
              QByteArray(reinterpret_cast<const char*>(ids[2].bytes.data()), 16));
    // Unchanged since: the index is not written again.
    std::filesystem::remove(index);
    panel->beforeExit();
    EXPECT_FALSE(std::filesystem::exists(index));
}

TEST_F(SymbolLibraryPanelTest, DoubleClickAsksTheMainWindowToEdit) {
    open({1, 1, 1});
    QTest::mouseDClick(panel.get(), Qt::LeftButton, {}, centreOf(2));
    EXPECT_TRUE(posted(MainMessage::EditSymbol, 2));
    EXPECT_EQ(panel->library().currentIndex(), 2);
    target.posts.clear();
    QTest::mouseDClick(panel.get(), Qt::LeftButton, {}, QPoint(150, 250)); // empty space
    for (const auto& [message, wparam] : target.posts)
        EXPECT_NE(message, MainMessage::EditSymbol);
}

TEST_F(SymbolLibraryPanelTest, WheelAndArrowKeysScrollTheGrid) {
    open(std::vector<int>(30, 1), QSize(180, 200)); // ten rows: range 416
    QScrollBar* bar = panel->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(165, 0, 15, 200));
    EXPECT_EQ(bar->maximum(), 416);
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(50, 50), panel->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(panel.get(), &event);
    };
    wheel(-120);
    EXPECT_EQ(panel->grid().scroll(), 30);
    EXPECT_EQ(bar->value(), 30);
    wheel(120 * 5);
    EXPECT_EQ(panel->grid().scroll(), 0);
    bar->setValue(100); // the scroll bar drives the grid
    EXPECT_EQ(panel->grid().scroll(), 100);

    bar->setValue(0);
    panel->setFocus();
    QTest::keyClick(panel.get(), Qt::Key_Right); // none current: the first
    QTest::keyClick(panel.get(), Qt::Key_Right);
    EXPECT_EQ(panel->library().currentIndex(), 1);
    for (int row = 0; row < 4; ++row)
        QTest::keyClick(panel.get(), Qt::Key_Down);
    EXPECT_EQ(panel->library().currentIndex(), 13);
    EXPECT_EQ(panel->grid().scroll(), 5 * 56 - 200); // row 4 just shows
    EXPECT_EQ(bar->value(), 80);
}

TEST_F(SymbolLibraryPanelTest, DeleteAsksBeforeItDeletes) {
    open({1, 1, 1});
    EXPECT_FALSE(panel->deleteSelected()); // nothing selected: no question
    EXPECT_TRUE(sink.messages.empty());
    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, centreOf(1));
    sink.answer = MessageAnswer::No;
    EXPECT_FALSE(panel->deleteSelected());
    EXPECT_EQ(sink.only().text, "Are you sure to delete the selected animation symbol?");
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_EQ(sink.only().buttons, MessageButtons::YesNo);
    EXPECT_EQ(panel->library().count(), 3);
    sink.answer = MessageAnswer::Yes;
    EXPECT_TRUE(panel->deleteSelected());
    EXPECT_EQ(idsOf(panel->library()), (std::vector<SymbolId>{ids[0], ids[2]}));
    EXPECT_FALSE(std::filesystem::exists(Symbol::fileName(folder(), ids[1])));
}

TEST_F(SymbolLibraryPanelTest, PlacingNeedsACurrentSymbolAndCopiesAllItsFrames) {
    open({1, 3});
    TestEditor editor;
    ProjectProperties properties;
    properties.width = 320;
    properties.height = 120;
    editor.newProject(properties);
    EXPECT_FALSE(panel->placeCurrentSymbol(editor));
    EXPECT_EQ(sink.only().text, "Please select an animation symbol.");
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_EQ(sink.only().icon, MessageIcon::Information);
    EXPECT_EQ(editor.project().layerCount(), 0);

    sink.clear();
    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, centreOf(1));
    ASSERT_TRUE(panel->placeCurrentSymbol(editor));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(editor.project().layerCount(), 1);
    const EmbeddedSymbol* placed = editor.symbols().find(ids[1]);
    ASSERT_NE(placed, nullptr);
    ASSERT_EQ(placed->frameCount(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(frameNumber(placed->frames[std::uint32_t(k)]), k);

    // A symbol whose file lost its frames is not placed.
    writeAll(Symbol::fileName(folder(), ids[0]), u32(1));
    panel->reload();
    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, centreOf(0));
    EXPECT_FALSE(panel->placeCurrentSymbol(editor));
    EXPECT_EQ(sink.only().caption, "Error");
    EXPECT_EQ(editor.project().layerCount(), 1);
}

TEST_F(SymbolLibraryPanelTest, NewAndEditedSymbolsShowAfterTheEditorEnds) {
    open({1, 2, 1});
    FakeEditor editor;
    ASSERT_TRUE(panel->newSymbol(editor));
    ASSERT_EQ(panel->library().count(), 4);
    EXPECT_EQ(panel->library().currentIndex(), 3);
    EXPECT_EQ(selected(), std::vector<int>{3});
    EXPECT_EQ(panel->library().at(3).frameCount, 2u);

    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, centreOf(1));
    ASSERT_TRUE(panel->editCurrentSymbol(editor));
    EXPECT_EQ(editor.editedId, ids[1]);
    EXPECT_EQ(editor.editedFrames, 2u);
    EXPECT_EQ(panel->library().currentIndex(), 1);
    EXPECT_EQ(panel->library().at(1).frameCount, 1u);
    EXPECT_EQ(panel->loadCurrentFrames().size(), 1u);

    editor.ok = false; // Cancel: nothing changes
    EXPECT_FALSE(panel->newSymbol(editor));
    EXPECT_EQ(panel->library().count(), 4);
}

TEST_F(SymbolLibraryPanelTest, FirstStartInstallsStarterSymbolsThatAnimate) {
    panel = std::make_unique<SymbolLibraryPanel>(folders, texts, &target, sink);
    panel->resize(180, 300);
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    ASSERT_EQ(panel->library().count(), 8);
    const std::uint32_t cursor = panel->library().at(0).cursor;
    // The repaint timer moves every thumbnail on by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->library().at(0).cursor != cursor; },
                                SymbolLibraryPanel::kThumbnailIntervalMs * 5));
}

TEST_F(SymbolLibraryPanelTest, AGifAddedByTheCommandLineShowsAllItsFrames) {
    open({});
    const std::string gif = root() + "/eight.gif";
    writeAnimatedGif(gif, 8);
    const ProgramRun add =
        ProgramRun::of(ZENTRAVO_CLI, {"library", "add", QString::fromStdString(gif), "--dir",
                                      QString::fromStdString(folder())});
    ASSERT_TRUE(add.ok()) << add.err.toStdString();
    panel->reload();
    ASSERT_EQ(panel->library().count(), 1);
    EXPECT_EQ(panel->library().at(0).id.toHex(), add.out.trimmed().toStdString());
    ASSERT_EQ(panel->library().at(0).frameCount, 8u);
    // Eight repaints show the eight frames in turn, centred in the cell.
    const QPoint centre = panel->grid().pictureRect(0).center();
    const std::uint32_t first = panel->library().at(0).cursor;
    for (std::uint32_t k = 0; k < 9; ++k) {
        const std::uint32_t expected = (first + k) % 8;
        const QImage stored =
            Symbol::loadFrame(Symbol::fileName(folder(), panel->library().at(0).id), expected);
        EXPECT_EQ(shown(centre), stored.pixelColor(stored.width() / 2, stored.height() / 2)) << k;
    }
}
