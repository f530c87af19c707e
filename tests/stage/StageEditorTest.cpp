#include "stage/StageEditor.h"

#include "document/MessageTarget.h"
#include "stage/StageCanvas.h"
#include "tests/document/EditorTestSupport.h"

#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class RecordingTarget : public MessageTarget {
public:
    std::vector<MainMessage> messages;
    void post(MainMessage message, std::intptr_t, std::intptr_t) override {
        messages.push_back(message);
    }
    bool saw(MainMessage message) const {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }
};

// A stage of 300 x 200 in a 400 x 300 view (no scrolling at zoom 1) with edit view on.
class StageEditorTest : public ::testing::Test {
protected:
    StageEditorTest()
        : editor(&changes), canvas(editor.document()), stage(canvas, editor, &target) {
        ProjectProperties properties;
        properties.name = "Stage";
        properties.width = 300;
        properties.height = 200;
        properties.duration = 10;
        editor.newProject(properties);
        canvas.setStageSize(300, 200);
        setView(QSize(400, 300), 1.0f);
    }
    void setView(QSize client, float zoom) {
        canvas.setZoom(zoom);
        canvas.setClientSize(client);
        stage.setClientSize(client);
    }
    // A w x h symbol object with its box's top-left corner at (x, y) stage pixels.
    int addObject(int w, int h, float x, float y) {
        QImage picture(w, h, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        editor.insertLibrarySymbol(SymbolId::create(), {picture});
        const int index = editor.project().objectCount() - 1;
        record(index).startX = record(index).endX = x;
        record(index).startY = record(index).endY = y;
        return index;
    }
    ObjectRecord& record(int index) {
        return editor.project().objects[std::uint32_t(index)].record;
    }
    // Draws the current frame: hit regions, handles and the handle matrix follow it.
    void draw() {
        canvas.setEditView(true);
        auto lock = editor.document().lock();
        canvas.drawFrame(lock);
    }
    // The window point at the centre of handle `index` of the selected object.
    QPoint handleCentre(int index) {
        auto lock = editor.document().lock();
        const FrameRenderer::Selection& s = canvas.selection(lock);
        const QPointF centre = s.handleMatrix.map(QRectF(s.handles[std::size_t(index)]).center());
        return centre.toPoint() - stage.scroll();
    }

    RecordingTarget target;
    RecordingListener changes;
    TestEditor editor;
    StageCanvas canvas;
    StageEditor stage;
};

TEST_F(StageEditorTest, AClickOnEmptyStageKeepsTheSelectionAndShowsFrameZeroInEditView) {
    const int object = addObject(20, 10, 10, 10);
    draw();
    editor.document().setCurrentFrame(5);
    canvas.setEditView(false);
    const int steps = editor.history().count();
    changes.clear();
    stage.press(QPoint(200, 150)); // on the stage, on no object
    stage.release(QPoint(200, 150));
    EXPECT_EQ(record(object).selected, 1u);
    EXPECT_TRUE(canvas.editView());
    EXPECT_EQ(editor.document().currentFrame(), 0);
    EXPECT_TRUE(changes.saw(DocumentChange::CurrentFrame));
    EXPECT_EQ(editor.history().count(), steps);
}

TEST_F(StageEditorTest, TheLaterDrawnOfTwoOverlappingObjectsIsPicked) {
    const int below = addObject(40, 40, 50, 50);
    const int above = addObject(40, 40, 60, 60);
    editor.project().clearObjectSelection();
    editor.project().clearLayerSelection();
    draw();
    const int steps = editor.history().count();
    changes.clear();
    stage.press(QPoint(75, 75));
    EXPECT_EQ(stage.mode(), StageEditor::Mode::Move);
    EXPECT_EQ(record(above).selected, 1u);
    EXPECT_EQ(record(below).selected, 0u);
    EXPECT_EQ(editor.project().selectedLayerIndex(), 1); // the picked object's layer
    EXPECT_TRUE(changes.saw(DocumentChange::Selection));
    // Released without moving: no undo step.
    stage.release(QPoint(75, 75));
    EXPECT_EQ(editor.history().count(), steps);
    // A hidden layer's object is not picked.
    editor.project().layerVisible[1] = 0;
    draw();
    stage.press(QPoint(75, 75));
    stage.release(QPoint(75, 75));
    EXPECT_EQ(record(below).selected, 1u);
}

TEST_F(StageEditorTest, DraggingTheRightEdgeToFiveGivesAZoomedWidthOfTen) {
    draw();
    // The right-edge handle: (Wz, Hz / 2 - 2) to (Wz + 4, Hz / 2 + 2).
    stage.press(QPoint(301, 100));
    ASSERT_EQ(stage.mode(), StageEditor::Mode::StageResize);
    stage.move(QPoint(5, 100));
    ASSERT_TRUE(stage.resizeOutline().has_value());
    EXPECT_EQ(*stage.resizeOutline(), QSize(10, 200));
    EXPECT_EQ(stage.resizeReadout(), "9 * 199");
    stage.release(QPoint(5, 100));
    EXPECT_EQ(canvas.stageWidth(), 10);
    EXPECT_EQ(editor.project().header.width, 10);
    EXPECT_EQ(editor.project().header.height, 200);
    EXPECT_TRUE(editor.isModified());
}

TEST_F(StageEditorTest, ScalingStopsAtSixteenOverWidthPlusHeightAndKeepsTheCentre) {
    const int object = addObject(20, 10, 100, 100); // centre (110, 105)
    draw();
    const QPoint corner = handleCentre(4); // bottom right
    stage.press(corner);
    ASSERT_EQ(stage.mode(), StageEditor::Mode::Handle);
    stage.move(QPoint(110, 105)); // onto the centre: the scale would be 0
    stage.release(QPoint(110, 105));
    const ObjectRecord& r = record(object);
    EXPECT_FLOAT_EQ(r.startScale, 16.0f / 30.0f);
    EXPECT_NEAR(r.startX + r.width * r.startScale / 2, 110.0f, 0.6f);
    EXPECT_NEAR(r.startY + r.height * r.startScale / 2, 105.0f, 0.6f);
    EXPECT_FLOAT_EQ(r.endScale, r.startScale); // no motion: the end follows
    EXPECT_TRUE(editor.undo());                // one undo step brings the scale back
    EXPECT_FLOAT_EQ(record(object).startScale, 1.0f);
}

TEST_F(StageEditorTest, RotatingWithHandleElevenAndReleasingOnTheDiagonalLeavesAngleZero) {
    const int object = addObject(40, 20, 100, 100);
    draw();
    stage.press(handleCentre(11));
    ASSERT_EQ(stage.handle(), StageEditor::kTurnBottomRight);
    // The diagonal from the centre Z (120, 110) through the corner R (140, 120), further out.
    stage.move(QPoint(160, 130));
    EXPECT_EQ(record(object).startAngle, 0.0f);
    stage.move(QPoint(120, 150)); // straight below the centre: turned clockwise
    EXPECT_NEAR(record(object).startAngle, 90.0 - std::atan2(10.0, 20.0) * 180 / M_PI, 1e-3);
    stage.move(QPoint(160, 130));
    stage.release(QPoint(160, 130));
    EXPECT_EQ(record(object).startAngle, 0.0f);
    EXPECT_EQ(record(object).endAngle, 0.0f);
}

TEST_F(StageEditorTest, ArrowKeysMoveTheFirstSelectedObjectAlsoOnAHiddenLayer) {
    const int object = addObject(20, 20, 30, 40);
    editor.project().layerVisible[0] = 0;
    stage.nudge(1, 0);
    stage.nudge(0, -1);
    stage.nudge(-1, 0);
    stage.nudge(-1, 0);
    EXPECT_EQ(record(object).startX, 29.0f);
    EXPECT_EQ(record(object).startY, 39.0f);
    EXPECT_EQ(record(object).endX, 29.0f);  // without motion the end follows
    EXPECT_EQ(editor.history().count(), 5); // each step is an undo step
}

TEST_F(StageEditorTest, AtZoomTwoWithScrollingPickMoveAndScaleLandUnderThePointer) {
    setView(QSize(200, 150), 2.0f); // the stage is 600 x 400 zoomed: both bars show
    const StageEditor::ScrollBars bars = stage.scrollBars();
    EXPECT_EQ(bars.horizontalRange, 600 + 20 - 200 + 15);
    EXPECT_EQ(bars.verticalRange, 400 + 20 - 150 + 15);
    stage.scrollRequest(Qt::Horizontal, StageEditor::Scroll::ThumbPosition, 100);
    stage.scrollRequest(Qt::Vertical, StageEditor::Scroll::ThumbPosition, 50);
    EXPECT_EQ(stage.scroll(), QPoint(100, 50));
    const int object = addObject(20, 10, 80, 40); // zoomed (160, 80)..(200, 100)
    editor.project().clearObjectSelection();
    draw();
    stage.press(QPoint(70, 35)); // zoomed (170, 85): on the object
    ASSERT_EQ(stage.mode(), StageEditor::Mode::Move);
    stage.move(QPoint(90, 45));
    stage.release(QPoint(90, 45));
    EXPECT_FLOAT_EQ(record(object).startX, 90.0f); // 20 window pixels = 10 stage pixels
    EXPECT_FLOAT_EQ(record(object).startY, 45.0f);

    draw();
    stage.press(handleCentre(4)); // the bottom-right corner handle
    ASSERT_EQ(stage.mode(), StageEditor::Mode::Handle);
    // Pulled out along the diagonal from the centre (window (100, 50)) through the corner
    // (window (120, 60)) to twice as far: the box's corner follows the pointer.
    const QPoint pointer(140, 70);
    stage.move(pointer);
    stage.release(pointer);
    const ObjectRecord& r = record(object);
    const double cornerX = (r.startX + r.width * r.startScale) * 2 - 100;
    const double cornerY = (r.startY + r.height * r.startScale) * 2 - 50;
    EXPECT_NEAR(cornerX, pointer.x(), 2.0);
    EXPECT_NEAR(cornerY, pointer.y(), 2.0);
    EXPECT_GT(r.startScale, 1.5f);
}

TEST_F(StageEditorTest, ScrollRequestsAndTheWheel) {
    setView(QSize(200, 150), 2.0f);
    const StageEditor::ScrollBars bars = stage.scrollBars();
    using Scroll = StageEditor::Scroll;
    struct Row {
        Scroll request;
        int value;
        int expected;
    };
    for (const Row& row :
         {Row{Scroll::LineForward, 0, 1}, Row{Scroll::PageForward, 0, 31},
          Row{Scroll::LineBack, 0, 30}, Row{Scroll::PageBack, 0, 0}, Row{Scroll::PageBack, 0, 0},
          Row{Scroll::ThumbPosition, 250, 250}, Row{Scroll::End, 0, bars.horizontalRange - 1},
          Row{Scroll::Start, 0, 0}}) {
        stage.scrollRequest(Qt::Horizontal, row.request, row.value);
        EXPECT_EQ(stage.scroll().x(), row.expected) << int(row.request);
    }
    stage.wheel(-120, false); // down a notch: 120 pixels
    EXPECT_EQ(stage.scroll(), QPoint(0, 120));
    stage.wheel(-120, true); // the horizontal bar has the focus: sideways
    EXPECT_EQ(stage.scroll(), QPoint(120, 120));
    stage.wheel(1200, true);
    EXPECT_EQ(stage.scroll().x(), 0);
    // A view larger than the zoomed stage hides both bars.
    setView(QSize(800, 600), 1.0f);
    EXPECT_EQ(stage.scrollBars().horizontalRange, 0);
    EXPECT_EQ(stage.scroll(), QPoint(0, 0));
}

} // namespace

namespace {

// The 300 x 200 stage's resize handles at zoom 1: right edge (300, 98)..(303, 101), bottom
// edge (148, 200)..(151, 203), corner (300, 200)..(303, 203).
TEST_F(StageEditorTest, TheCornerAndBottomHandlesResizeTheStageAsOneUndoStep) {
    draw();
    const int steps = editor.history().count();
    stage.press(QPoint(302, 202));
    ASSERT_EQ(stage.mode(), StageEditor::Mode::StageResize);
    EXPECT_EQ(stage.cursorAt(QPoint(302, 202)), StageEditor::Cursor::SizeNWSE);
    for (int k = 1; k <= 10; ++k)
        stage.move(QPoint(302 - 5 * k, 202 - 5 * k));
    EXPECT_EQ(*stage.resizeOutline(), QSize(252, 152));
    EXPECT_EQ(stage.resizeReadout(), "251 * 151");
    EXPECT_EQ(editor.project().header.width, 300); // only the outline moves until the release
    stage.release(QPoint(252, 152));
    EXPECT_EQ(editor.project().header.width, 252);
    EXPECT_EQ(editor.project().header.height, 152);
    // A new project's history also keeps the header it started with, for the undo.
    EXPECT_EQ(editor.history().count(), steps + 2);

    // The bottom edge changes the height only, and not below 10.
    stage.press(QPoint(126 - 1, 153));
    ASSERT_EQ(stage.mode(), StageEditor::Mode::StageResize);
    EXPECT_EQ(stage.cursorAt(QPoint(125, 153)), StageEditor::Cursor::SizeNS);
    stage.move(QPoint(400, 3));
    EXPECT_EQ(*stage.resizeOutline(), QSize(252, 10));
    EXPECT_EQ(stage.resizeReadout(), "251 * 9");
    stage.release(QPoint(400, 3));
    EXPECT_EQ(editor.project().header.width, 252);
    EXPECT_EQ(editor.project().header.height, 10);
    EXPECT_EQ(editor.history().count(), steps + 3);

    // Undo brings each size back; redo the last one.
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.project().header.height, 152);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.project().header.width, 300);
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(editor.project().header.width, 252);
}

TEST_F(StageEditorTest, AShrinkingStageReducesTheScrollPositionsWithIt) {
    setView(QSize(200, 150), 2.0f); // zoomed 600 x 400: ranges 435 and 285
    stage.scrollRequest(Qt::Horizontal, StageEditor::Scroll::End);
    stage.scrollRequest(Qt::Vertical, StageEditor::Scroll::End);
    ASSERT_EQ(stage.scroll(), QPoint(434, 284));
    draw();
    // The corner handle at zoomed (600, 400), in the window less the scroll.
    stage.press(QPoint(167, 117));
    ASSERT_EQ(stage.mode(), StageEditor::Mode::StageResize);
    stage.move(QPoint(100, 80)); // zoomed (534, 364)
    EXPECT_EQ(stage.resizeReadout(), "99 * 79");
    stage.release(QPoint(100, 80));
    EXPECT_EQ(editor.project().header.width, 267);
    EXPECT_EQ(editor.project().header.height, 182);
    // Shrunk by (66, 36) zoomed pixels; the new ranges are 369 and 249.
    EXPECT_EQ(stage.scroll(), QPoint(434 - 66, 284 - 36));
}

TEST_F(StageEditorTest, SideHandlesScaleAgainstTheirOwnHalfLength) {
    // A 30 x 40 box at (100, 100): centre (115, 120); half width 15, half height 20, half
    // diagonal 25.
    struct Row {
        StageEditor::Handle handle;
        QPoint pointer;
        float scale;
    };
    const Row rows[] = {
        {StageEditor::kRightMiddle, {145, 120}, 2.0f},  // 30 / 15
        {StageEditor::kLeftMiddle, {85, 120}, 2.0f},    // 30 / 15
        {StageEditor::kBottomMiddle, {115, 150}, 1.5f}, // 30 / 20
        {StageEditor::kTopMiddle, {115, 90}, 1.5f},     // 30 / 20
        {StageEditor::kBottomRight, {133, 144}, 1.2f},  // 30 / 25
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.handle));
        const int object = addObject(30, 40, 100, 100);
        record(object).startScale = record(object).endScale = 1.0f;
        draw();
        stage.press(handleCentre(row.handle));
        ASSERT_EQ(stage.handle(), row.handle);
        stage.move(row.pointer);
        stage.release(row.pointer);
        const ObjectRecord& r = record(object);
        EXPECT_FLOAT_EQ(r.startScale, row.scale);
        // The centre stays where it was.
        EXPECT_NEAR(r.startX + 15.0f * r.startScale, 115.0f, 0.51f);
        EXPECT_NEAR(r.startY + 20.0f * r.startScale, 120.0f, 0.51f);
        editor.deleteSelectedObject();
    }
}

} // namespace
