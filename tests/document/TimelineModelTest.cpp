#include "document/TimelineModel.h"

#include "document/MessageTarget.h"
#include "stage/StageCanvas.h"
#include "tests/document/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RecordingTarget : public MessageTarget {
public:
    std::vector<std::pair<MainMessage, std::intptr_t>> messages;
    void post(MainMessage message, std::intptr_t, std::intptr_t lparam) override {
        messages.push_back({message, lparam});
    }
};

QImage solid(QRgb colour) {
    QImage frame(20, 20, QImage::Format_ARGB32);
    frame.fill(colour);
    return frame;
}

// A 600 x 200 timeline over a 100 x 60 stage of 40 frames. Frame f starts at x = 10 f + 190;
// with L layers, layer k's row starts at y = (L - 1 - k) * 26 + 30.
class TimelineModelTest : public ::testing::Test {
protected:
    TimelineModelTest() : model(editor, &target) {
        editor.subscribe(&changes);
        ProjectProperties properties;
        properties.name = "Timeline";
        properties.width = 100;
        properties.height = 60;
        properties.duration = 40;
        editor.newProject(properties);
        model.setViewSize(QSize(600, 200));
        model.setRulerLength(40);
    }
    // A layer holding one object that spans `start`..`end` (outer and inner).
    int addLayer(int start, int end, QRgb colour = qRgb(200, 0, 0)) {
        editor.insertLibrarySymbol(SymbolId::create(), {solid(colour)});
        const int index = editor.project().objectCount() - 1;
        setSpan(index, start, end, start, end);
        return index;
    }
    void setSpan(int index, int S, int E, int s, int e) {
        ObjectRecord& r = record(index);
        r.startFrame = S;
        r.endFrame = E;
        r.motionStartFrame = s;
        r.motionEndFrame = e;
    }
    ObjectRecord& record(int index) {
        return editor.project().objects[std::uint32_t(index)].record;
    }
    std::array<int, 4> span(int index) {
        const ObjectRecord& r = record(index);
        return {r.startFrame, r.endFrame, r.motionStartFrame, r.motionEndFrame};
    }
    int rowMiddle(int layer) { return model.rowTop(layer, editor.project().layerCount()) + 13; }
    static int x(int frame) { return frame * 10 + 190; }
    // A whole drag: press, moves to each x in turn, release.
    void drag(QPoint from, std::initializer_list<int> xs) {
        ASSERT_TRUE(model.dragStart(from));
        for (int to : xs)
            model.dragMove(QPoint(to, from.y()));
        model.dragEnd();
    }

    RecordingTarget target;
    RecordingListener changes;
    TestEditor editor;
    TimelineModel model;
};

TEST_F(TimelineModelTest, TheFirstLayerIsTheBottomRowAndToTheFrontDrawsItOverTheOthers) {
    addLayer(0, 40, qRgb(220, 0, 0));
    addLayer(0, 40, qRgb(0, 200, 0));
    addLayer(0, 40, qRgb(0, 0, 230));
    EXPECT_EQ(model.rowTop(0, 3), 30 + 2 * 26); // bottom row
    EXPECT_EQ(model.rowTop(2, 3), 30);          // top row
    auto centre = [&] {
        StageCanvas canvas(editor.document());
        canvas.setStageSize(100, 60);
        canvas.setEditView(false);
        canvas.makeViewBackBuffer();
        auto lock = editor.document().lock();
        canvas.drawFrame(lock);
        return QColor(canvas.backBuffer(lock).pixel(50, 30));
    };
    EXPECT_EQ(centre(), QColor(0, 0, 230)); // the last layer covers the others

    model.leftPress(QPoint(x(5), rowMiddle(0))); // select the bottom layer (red)
    model.dragEnd();
    ASSERT_EQ(editor.project().selectedLayerIndex(), 0);
    ASSERT_TRUE(editor.bringLayerToFront());
    EXPECT_EQ(editor.project().layerName(2), "Symbol 1"); // now the top row
    EXPECT_EQ(centre(), QColor(220, 0, 0));
}

TEST_F(TimelineModelTest, OuterEdgesStopAtTwoFramesAndAtTheNeighbours) {
    addLayer(0, 10);
    editor.appendMotion(kLinerMotion); // the same layer: 0..10, then 10..20
    const int y = rowMiddle(0);
    setSpan(1, 14, 20, 14, 20); // a gap before the second object
    // The first object's end: right as far as the next object's start (14), left to start + 2.
    drag({x(10) - 1, y}, {x(30)});
    EXPECT_EQ(span(0)[1], 14);
    drag({x(14) - 1, y}, {x(0)});
    EXPECT_EQ(span(0)[1], 2);
    // The second object's start cannot go before the first one's end (2) nor past its end - 2.
    drag({x(14), y}, {x(0)});
    EXPECT_EQ(span(1)[0], 2);
    drag({x(2), y}, {x(39)});
    EXPECT_EQ(span(1)[0], 18);
    // Moving the whole second object left stops at the first one's end.
    record(1).motionKind = kNoMotion; // a press inside a motion would move only the motion
    setSpan(1, 10, 16, 10, 16);
    drag({x(13), y}, {x(13) - 200});
    EXPECT_EQ((std::array<int, 2>{span(1)[0], span(1)[1]}), (std::array<int, 2>{2, 8}));
}

TEST_F(TimelineModelTest, DragWithoutChangeAddsNoUndoStepAndAChangeAddsOne) {
    addLayer(5, 15);
    const int y = rowMiddle(0);
    const int steps = editor.history().count();
    drag({x(10), y}, {x(10) + 4, x(10)}); // moved less than a frame, then back
    EXPECT_EQ(editor.history().count(), steps);
    drag({x(10), y}, {x(12)});
    EXPECT_EQ(editor.history().count(), steps + 1);
    EXPECT_EQ(span(0), (std::array<int, 4>{7, 17, 7, 17})); // without motion: inner = outer
}

TEST_F(TimelineModelTest, TheInnerSpanPushesItsObjectAtTheEdges) {
    addLayer(10, 20);
    record(0).motionKind = kLinerMotion;
    setSpan(0, 10, 20, 12, 16);
    const int y = rowMiddle(0);
    ASSERT_TRUE(model.dragStart({x(14), y})); // inside the inner span shrunk by 4 pixels
    EXPECT_EQ(model.drag(), TimelineModel::Drag::MoveInner);
    model.dragMove({x(14) - 10, y}); // one frame earlier: still inside
    EXPECT_EQ(span(0), (std::array<int, 4>{10, 20, 11, 15}));
    model.dragMove({x(14) - 30, y}); // before S: the object moves one frame earlier
    EXPECT_EQ(span(0), (std::array<int, 4>{9, 19, 9, 13}));
    model.dragMove({x(14) + 60, y}); // past E: one frame later, the inner span at the end
    EXPECT_EQ(span(0), (std::array<int, 4>{10, 20, 16, 20}));
    model.dragEnd();
}

TEST_F(TimelineModelTest, HeaderButtonsToggleTheModeOfTheSelectedLayersObject) {
    addLayer(0, 10);
    addLayer(0, 10);
    const int bottom = model.rowTop(0, 2);
    const QPoint liner =
        TimelineModel::headerButton(TimelineModel::HeaderButton::Liner, bottom).center();
    const QPoint guide =
        TimelineModel::headerButton(TimelineModel::HeaderButton::GuideLine, bottom).center();
    auto press = [&](QPoint p) {
        model.leftPress(p);
        model.dragEnd();
    };
    press(liner); // layer 0 is not the selected layer (the last insertion selected layer 1)
    EXPECT_EQ(record(0).motionKind, kNoMotion);
    press({x(3), bottom + 13}); // select layer 0 and its object
    press(liner);
    EXPECT_EQ(record(0).motionKind, kLinerMotion);
    press(liner);
    EXPECT_EQ(record(0).motionKind, kNoMotion);
    press(liner);
    press(guide); // after Liner the guide-line button switches to guide line
    EXPECT_EQ(record(0).motionKind, kGuideLineMotion);
    EXPECT_TRUE(editor.isModified());

    // The visible button flips the layer's flag and announces a change of the layers.
    changes.clear();
    press(TimelineModel::headerButton(TimelineModel::HeaderButton::Visible, bottom).center());
    EXPECT_EQ(editor.project().layerVisible[0], 0u);
    EXPECT_TRUE(changes.saw(DocumentChange::Layers));
}

TEST_F(TimelineModelTest, ASecondPressBeforeTheReleaseIsIgnored) {
    addLayer(0, 10);
    addLayer(0, 10);
    model.leftPress({x(3), rowMiddle(0)});
    model.leftPress({x(3), rowMiddle(1)}); // the guard is up
    EXPECT_EQ(editor.project().selectedLayerIndex(), 0);
    model.dragEnd();
    model.leftPress({x(3), rowMiddle(1)});
    EXPECT_EQ(editor.project().selectedLayerIndex(), 1);
    model.dragEnd();
}

TEST_F(TimelineModelTest, FrameUnderTheCursorAndScrubbing) {
    // Visible width 600 - 15: frames left of x = 190 are 0, past the visible width the last.
    struct Row {
        int scroll, x, frame;
    };
    for (const Row& row : {Row{0, 100, 0}, Row{0, 190, 0}, Row{0, 255, 6}, Row{0, 700, 39},
                           Row{50, 255, 11}, Row{50, 100, 0}, Row{50, 900, 44}}) {
        model.setScroll(row.scroll, 0);
        EXPECT_EQ(model.frameUnder(row.x), row.frame) << row.scroll << " " << row.x;
    }
    model.setScroll(0, 0);
    addLayer(0, 40);
    // The current-frame marker (frame 0 at x = 190) starts a scrub; moves show the frame.
    ASSERT_TRUE(model.dragStart({191, 25}));
    EXPECT_EQ(model.drag(), TimelineModel::Drag::CurrentFrame);
    changes.clear();
    model.dragMove({x(7) + 3, 25});
    EXPECT_EQ(editor.currentFrame(), 7);
    model.dragMove({2000, 25}); // clamped to the last frame
    EXPECT_EQ(editor.currentFrame(), 39);
    model.dragEnd();
    ASSERT_EQ(changes.changes.size(), 2u);
    EXPECT_TRUE(changes.saw(DocumentChange::CurrentFrame));
    EXPECT_EQ(editor.history().count(), 1); // scrubbing is no edit
}

TEST_F(TimelineModelTest, RightPressSelectsAndAsksForTheContextMenu) {
    addLayer(0, 10);
    addLayer(20, 30);
    model.rightPress({x(5), rowMiddle(0)});
    EXPECT_EQ(editor.project().selectedLayerIndex(), 0);
    EXPECT_EQ(editor.project().selectedObjectIndex(), 0);
    EXPECT_EQ(target.messages.back(),
              std::make_pair(MainMessage::ShowMenu, std::intptr_t(MenuKind::Context)));
}

} // namespace

namespace {

// Inner edges: pixels 2..3 from the inner span's left edge start an inner-start drag, pixels
// 2..3 before its right edge an inner-end drag (frames 10 pixels wide from x = 190).
TEST_F(TimelineModelTest, InnerEdgesNeverMakeAnEmptyMotionSpan) {
    addLayer(10, 30);
    record(0).motionKind = kLinerMotion;
    setSpan(0, 10, 30, 14, 20);
    const int y = rowMiddle(0);
    // The inner start dragged onto the inner end, and past it: it stops one frame short.
    for (int to : {x(20), x(20) + 5, x(25), x(29)}) {
        setSpan(0, 10, 30, 14, 20);
        drag({x(14) + 2, y}, {to});
        EXPECT_EQ(span(0), (std::array<int, 4>{10, 30, 19, 20})) << to;
    }
    // The inner end dragged onto the inner start and before it: one frame after the start.
    for (int to : {x(14), x(14) + 3, x(11), x(0)}) {
        setSpan(0, 10, 30, 14, 20);
        drag({x(20) - 3, y}, {to});
        EXPECT_EQ(span(0), (std::array<int, 4>{10, 30, 14, 15})) << to;
    }
    // Neither leaves the outer span.
    setSpan(0, 10, 30, 14, 20);
    drag({x(14) + 2, y}, {x(2)});
    EXPECT_EQ(span(0)[2], 10);
    drag({x(20) - 3, y}, {x(39)});
    EXPECT_EQ(span(0)[3], 30);
}

TEST_F(TimelineModelTest, MovingIntoTheRightHandNeighbourStopsAtIt) {
    addLayer(0, 10);
    editor.appendMotion(kLinerMotion); // 0..10, then 10..20 on the same layer
    const int y = rowMiddle(0);
    setSpan(1, 25, 35, 25, 35);
    record(0).motionKind = kNoMotion;
    // The whole first object, one frame at a time, up to and far past the neighbour's start.
    ASSERT_TRUE(model.dragStart({x(5), y}));
    for (int d = 1; d <= 30; ++d) {
        model.dragMove({x(5) + d * 10, y});
        ASSERT_LE(span(0)[1], 25) << d;
    }
    model.dragEnd();
    EXPECT_EQ(span(0), (std::array<int, 4>{15, 25, 15, 25}));

    // A motion pushed through the end of its object carries the object only to the neighbour.
    setSpan(0, 0, 10, 2, 6);
    record(0).motionKind = kLinerMotion;
    ASSERT_TRUE(model.dragStart({x(4), y}));
    ASSERT_EQ(model.drag(), TimelineModel::Drag::MoveInner);
    for (int d = 1; d <= 40; ++d)
        model.dragMove({x(4) + d * 10, y});
    model.dragEnd();
    EXPECT_EQ(span(0)[1], 25);
    EXPECT_EQ(span(0)[3], 25);
    EXPECT_EQ(span(0)[3] - span(0)[2], 4); // the motion keeps its length
}

TEST_F(TimelineModelTest, DragsStartOnlyInTheFrameArea) {
    addLayer(0, 40);
    const int y = rowMiddle(0);
    // Left of the frame area (the row header) and on the scroll bars: nothing starts, even
    // over a span's row or the current-frame marker's column.
    for (QPoint p : {QPoint(189, y), QPoint(400, 200 - 15), QPoint(400, 199), QPoint(600 - 15, y),
                     QPoint(599, 100)})
        EXPECT_FALSE(model.dragStart(p)) << p.x() << "," << p.y();
    EXPECT_EQ(model.drag(), TimelineModel::Drag::None);
    EXPECT_TRUE(model.dragStart({x(20), y}));
    model.dragMove({x(20) + 500, 400}); // once started, the drag follows anywhere
    model.dragEnd();
    EXPECT_NE(span(0)[0], 0);
}

} // namespace
