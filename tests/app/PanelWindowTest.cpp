// The side panels and the project dialogs as the main window runs them: placing and deleting
// library symbols with the panel's controls, adding a text object from the text panel, the
// start screen's choices, and the animation properties reaching the stage and the timeline.
#include "app/MainWindow.h"

#include "controls/CTavColorPicker.h"
#include "controls/ImageButton.h"
#include "dialogs/CTavStartDlg.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "stage/StageCanvas.h"
#include "stage/ui/StageView.h"
#include "document/ui/TimelinePanel.h"
#include "text/ui/StyleList.h"
#include "text/ui/TextPanel.h"
#include "tests/app/AppTestSupport.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class PanelWindowTest : public ::testing::Test, public MainWindowHarness {
protected:
    PanelWindowTest() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    SymbolLibraryPanel& library() { return window->libraryPanel(); }
    void clickSymbol(int index) {
        QTest::mouseClick(&library(), Qt::LeftButton, {},
                          library().grid().pictureRect(index).center());
    }
    ProjectHeader header() { return window->document().lock().project().header; }
    // True while the stage shows only its white background (inside the resize handles).
    bool stageIsBlank() {
        const ProjectHeader stage = header();
        const QImage shown =
            window->stage().grab().toImage().copy(5, 5, stage.width - 10, stage.height - 10);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
                    return false;
        return true;
    }
};

TEST_F(PanelWindowTest, PlaceOnStagePutsTheChosenSymbolCentredOnANewLayer) {
    ImageButton* place = window->libraryControl(0);
    QTest::mouseClick(place, Qt::LeftButton);
    settle();
    EXPECT_EQ(sink.only().text, "Please select an animation symbol.");
    EXPECT_EQ(window->document().lock().project().objectCount(), 0);
    sink.clear();

    ASSERT_GE(library().library().count(), 2);
    clickSymbol(1);
    const SymbolEntry entry = library().library().at(1);
    ASSERT_EQ(library().currentSymbol(), entry.id);
    QTest::mouseClick(place, Qt::LeftButton);
    settle();
    EXPECT_TRUE(sink.messages.empty());

    const ProjectHeader stage = header();
    auto lock = window->document().lock();
    const Project& project = lock.project();
    ASSERT_EQ(project.objectCount(), 1);
    ASSERT_EQ(project.layerCount(), 1);
    EXPECT_STREQ(project.layerNames[0].text, "Symbol 1");
    EXPECT_EQ(project.symbolIds[0], entry.id);
    const ObjectRecord& r = project.objects[0].record;
    const QImage first = library().library().loadFrame(entry.id, 0);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(QSize(r.width, r.height), first.size());
    EXPECT_FLOAT_EQ(r.startX, float(stage.width / 2.0 - std::floor(first.width() / 2.0)));
    EXPECT_FLOAT_EQ(r.startY, float(stage.height / 2.0 - std::floor(first.height() / 2.0)));
    EXPECT_EQ(r.startFrame, 0);
    EXPECT_EQ(r.endFrame, stage.duration);
    EXPECT_EQ(r.symbolFrameRate, stage.frameRate);
    // The project carries its own copy of every frame, equal to the library's.
    const EmbeddedSymbol* copy = lock.symbols().find(entry.id);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->frameCount(), int(entry.frameCount));
    for (std::uint32_t k = 0; k < entry.frameCount; ++k)
        EXPECT_EQ(
            copy->frames[k].convertToFormat(QImage::Format_ARGB32),
            library().library().loadFrame(entry.id, int(k)).convertToFormat(QImage::Format_ARGB32))
            << "frame " << k;
}

TEST_F(PanelWindowTest, TheDeleteControlRemovesTheSelectedSymbolAndItsFileAfterYes) {
    const int before = library().library().count();
    clickSymbol(0);
    const SymbolId id = library().library().at(0).id;
    const QString file = root.filePath("Actors/" + QString::fromStdString(id.toHex()) + ".sbl");
    ASSERT_TRUE(QFileInfo::exists(file));

    sink.answer = MessageAnswer::No;
    QTest::mouseClick(window->libraryControl(2), Qt::LeftButton);
    settle();
    EXPECT_EQ(sink.only().text, "Are you sure to delete the selected animation symbol?");
    EXPECT_EQ(library().library().count(), before);
    EXPECT_TRUE(QFileInfo::exists(file));

    sink.clear();
    sink.answer = MessageAnswer::Yes;
    QTest::mouseClick(window->libraryControl(2), Qt::LeftButton);
    settle();
    EXPECT_EQ(library().library().count(), before - 1);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_NE(library().library().at(0).id, id);
    // The index on disk no longer names it once the program ends.
    window->runCommand(CommandId::Exit);
    const QByteArray index = readAll(root.filePath("Actors/Actors.sbg"));
    EXPECT_FALSE(index.contains(QByteArray(reinterpret_cast<const char*>(id.bytes.data()), 16)));
}

TEST_F(PanelWindowTest, ApplyInTheTextPanelAddsASelectedTextLayer) {
    TextPanel& panel = window->textPanel();
    QTest::mouseClick(&panel.applyButton(), Qt::LeftButton);
    settle();
    ASSERT_EQ(sink.messages.size(), 1u); // nothing typed
    EXPECT_EQ(window->document().lock().project().objectCount(), 0);
    sink.clear();

    EXPECT_TRUE(QTest::qWaitFor([&] { return stageIsBlank(); }, 5000));
    panel.textEdit().setFocus();
    QTest::keyClicks(&panel.textEdit(), "Hello");
    panel.sizeBox().setCurrentText("72");
    panel.chooseStyle(2);
    const std::uint32_t first = panel.firstPicker().color();
    const std::uint32_t second = panel.secondPicker().color();
    QTest::mouseClick(&panel.applyButton(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(sink.messages.empty());

    {
        auto lock = window->document().lock();
        const Project& project = lock.project();
        ASSERT_EQ(project.objectCount(), 1);
        EXPECT_STREQ(project.layerNames[0].text, "Text 1");
        EXPECT_TRUE(project.symbolIds[0].isNull());
        const ObjectRecord& r = project.objects[0].record;
        EXPECT_EQ(r.kind, 0);
        EXPECT_STREQ(r.text, "Hello");
        EXPECT_EQ(r.font.height, 72 * 20 / 15);
        EXPECT_STREQ(r.font.faceName,
                     panel.faceBox().currentText().toLocal8Bit().left(31).constData());
        EXPECT_EQ(r.textStyle, panel.model().selectedStyle());
        EXPECT_EQ(r.textColor, first);
        EXPECT_EQ(r.secondTextColor, second);
        EXPECT_GT(r.width, 0); // measured with the chosen font
        EXPECT_NE(r.selected, 0u);
    }
    // The stage draws it: the white stage gets the text's colours.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !stageIsBlank(); }, 5000));
}

TEST_F(PanelWindowTest, TheStartScreensChoicesOpenASampleOrAskForAProject) {
    CTavStartDlg& screen = window->startScreen();
    window->move(window->pos() + QPoint(150, 90)); // placed after the screen was made
    screen.showScreen();
    ASSERT_TRUE(screen.isVisible());
    const QPoint offCentre = screen.geometry().center() - window->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << ", " << offCentre.y();
    QTest::mouseClick(&screen.existingButton(), Qt::LeftButton);
    QTest::mouseClick(&screen.okButton(), Qt::LeftButton);
    EXPECT_FALSE(screen.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.chooseCalls == 1; }, 5000));
    EXPECT_EQ(dialogs.sampleCalls, 0);

    // The screen remembers the last choice; a sample opens from it.
    screen.showScreen();
    EXPECT_TRUE(screen.existingButton().isChecked());
    QTest::mouseClick(&screen.sampleButton(), Qt::LeftButton);
    dialogs.samples.push_back(1);
    QTest::mouseClick(&screen.okButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->projectCommands().isSampleProject(); }, 5000));
    EXPECT_EQ(dialogs.sampleCalls, 1);
    EXPECT_EQ(window->document().lock().project().name(), "Sample Project 1");

    // Esc only hides it.
    screen.showScreen();
    QTest::keyClick(&screen, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(dialogs.sampleCalls + dialogs.chooseCalls, 2);
}

TEST_F(PanelWindowTest, AnimationPropertiesResizeTheStageAndLengthenTheTimeline) {
    // A point beyond the first stage that the new one covers, in the stage's drawing.
    const QPoint beyond(390, 190);
    auto shownAt = [&](QPoint p) {
        const QImage drawn = window->stage().canvas().backBuffer();
        return drawn.valid(p) ? drawn.pixel(p) & 0xFFFFFFu : 0u;
    };
    auto drawnSize = [&] { return window->stage().canvas().backBuffer().size(); };
    const QSize firstSize = drawnSize();
    ASSERT_LT(firstSize.width(), 420); // the view is smaller than the stage drawing will be
    const QImage square(8, 8, QImage::Format_ARGB32);
    ASSERT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {square}));
    settle();
    DocumentTestAccess::setModified(window->document(), false);
    window->runCommand(CommandId::Properties); // cancelled: nothing changes
    ASSERT_EQ(dialogs.propertiesCalls, 1);
    EXPECT_EQ(dialogs.shownProperties.width, 320);
    EXPECT_EQ(dialogs.shownProperties.duration, 20);
    EXPECT_FALSE(window->document().isModified());

    const int steps = window->document().lock().history().count();
    ProjectProperties edited = dialogs.shownProperties;
    edited.width = 400;
    edited.height = 200;
    edited.duration = 60;
    edited.frameRate = 25;
    edited.backgroundColor = 0x00FF0000; // blue
    dialogs.properties.push_back(edited);
    window->runCommand(CommandId::Properties);
    settle();
    const ProjectHeader h = header();
    EXPECT_EQ(QSize(h.width, h.height), QSize(400, 200));
    EXPECT_EQ(h.duration, 60);
    EXPECT_EQ(h.frameRate, 25);
    // Mended: the change is an undo step of its own and counts as a change to save.
    EXPECT_EQ(window->document().lock().history().count(), steps + 1);
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->timeline().model().rulerLength(), 60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownAt(beyond) == 0x0000FFu; }, 5000));

    // An edit after it, then two undos: the second takes the properties back, and the stage
    // follows to its old size; redo brings the new size back.
    ASSERT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {square}));
    settle();
    window->runCommand(CommandId::Undo);
    settle();
    EXPECT_EQ(header().width, 400);
    window->runCommand(CommandId::Undo);
    settle();
    EXPECT_EQ(header().width, 320);
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawnSize() == firstSize; }, 5000));
    EXPECT_NE(shownAt(beyond), 0x0000FFu);
    window->runCommand(CommandId::Redo);
    settle();
    EXPECT_EQ(header().width, 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownAt(beyond) == 0x0000FFu; }, 5000));
}

} // namespace
