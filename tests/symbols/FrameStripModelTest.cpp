#include "symbols/FrameStripModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Six frames told apart by their width (10 + index), in a strip wide enough for all of them
// (no scrolling: cell i spans x = 108 i + 5 .. 108 (i + 1) - 5, y = 10 .. 98).
class FrameStripModelTest : public ::testing::Test {
protected:
    FrameStripModelTest() : strip(frames, [this](int index) { notified.push_back(index); }) {
        for (int i = 0; i < 6; ++i)
            frames.append(QImage(10 + i, 8, QImage::Format_ARGB32));
        strip.setClientSize(QSize(800, 126));
        strip.refresh();
    }
    static QPoint in(int index, int dx = 0) { return QPoint(108 * index + 54 + dx, 50); }
    std::vector<int> order() const {
        std::vector<int> out;
        for (const QImage& picture : frames.edited)
            out.push_back(picture.width() - 10);
        return out;
    }
    void click(int index, bool ctrl = false, bool shift = false) {
        strip.press(in(index), ctrl, shift);
        strip.release();
    }

    FrameLists frames;
    std::vector<int> notified;
    FrameStripModel strip;
};

TEST_F(FrameStripModelTest, ClicksWithCtrlAndShiftSelectAsAListDoes) {
    click(1);
    click(3, true);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{1, 3}));
    // A plain click on a selected frame keeps the others (so they can be dragged together).
    click(1);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{1, 3}));
    // Ctrl on a selected frame deselects it without a notification.
    notified.clear();
    click(3, true);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{1}));
    EXPECT_TRUE(notified.empty());
    // Shift on 5 with 2 current selects 2..5 and keeps 2 current.
    click(2);
    click(5, false, true);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(strip.current(), 2);
    // With 0 current it selects only 5 and makes it current.
    click(0);
    notified.clear();
    click(5, false, true);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{5}));
    EXPECT_EQ(strip.current(), 5);
    EXPECT_EQ(notified, (std::vector<int>{5}));
    // A press beside every cell clears the selection and starts a rubber band that selects the
    // cells it touches.
    strip.press(QPoint(900, 50), false, false);
    EXPECT_TRUE(strip.selectedIndexes().empty());
    strip.move(QPoint(108 * 2 + 20, 60)); // from beyond frame 5 back into frame 2
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{2, 3, 4, 5}));
    strip.release();
    EXPECT_FALSE(strip.rubberBand().has_value());
}

TEST_F(FrameStripModelTest, DraggingTwoFramesOntoTheRightHalfOfTheFourth) {
    click(1);
    click(2, true);
    frames.flags = {10, 11, 12, 13, 14, 15}; // marks: the flag list is not reordered
    strip.press(in(2), false, false);
    strip.move(in(2, 2) + QPoint(0, 3)); // 2 + 3 pixels: no drag yet
    EXPECT_FALSE(strip.dragging());
    strip.move(in(4, 30)); // far enough, over the right half of frame 4
    EXPECT_TRUE(strip.dragging());
    EXPECT_EQ(strip.dropTarget(), 4);
    EXPECT_EQ(strip.dropSide(), 1);
    notified.clear();
    strip.release();
    EXPECT_EQ(order(), (std::vector<int>{0, 3, 4, 1, 2, 5}));
    EXPECT_EQ(strip.current(), 4); // frame 2, now at index 4
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{3, 4}));
    EXPECT_EQ(notified, (std::vector<int>{3, 4}));
    EXPECT_EQ(frames.flags, (std::vector<std::uint32_t>{10, 11, 12, 13, 14, 15}));
    // List A moved with list B.
    EXPECT_EQ(frames.added[3].width(), 11);
}

TEST_F(FrameStripModelTest, TheDragStartsBeyondTheThreshold) {
    // sqrt(|dx| + |dy|) > 5, that is |dx| + |dy| > 25, in any direction.
    struct Row {
        QPoint moved;
        bool drags;
    };
    const Row rows[] = {
        {{3, 3}, false},    {{20, 10}, true},   {{25, 0}, false},   {{26, 0}, true},
        {{0, -25}, false},  {{0, -26}, true},   {{-12, 13}, false}, {{-13, 13}, true},
        {{13, -12}, false}, {{-13, -13}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.moved.x()) + "," + std::to_string(row.moved.y()));
        click(1);
        strip.press(in(1), false, false);
        strip.move(in(1) + row.moved);
        EXPECT_EQ(strip.dragging(), row.drags);
        strip.release();
    }
}

TEST_F(FrameStripModelTest, ASelectionDroppedOnItsOwnFramesStaysWhereItIs) {
    // Frames 1 and 2 selected, dragged from frame 2 and dropped on either half of either of
    // them: every frame keeps its place.
    struct Row {
        int target;
        int dx; // from the target cell's centre: left half below 0, right half above
    };
    for (const Row& row : {Row{1, -30}, Row{1, 30}, Row{2, -30}, Row{2, 30}}) {
        SCOPED_TRACE(std::to_string(row.target) + (row.dx < 0 ? " left" : " right"));
        strip.selectIndex(1);
        click(2, true);
        strip.press(in(2), false, false);
        strip.move(in(2, 40)); // past the threshold, still over frame 2
        strip.move(in(row.target, row.dx));
        ASSERT_TRUE(strip.dragging());
        strip.release();
        EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
        EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{1, 2}));
        EXPECT_EQ(strip.current(), 2);
    }
}

TEST_F(FrameStripModelTest, RemovingEveryFrameNotifiesMinusOne) {
    click(4);
    notified.clear();
    strip.key(Qt::Key_Delete);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(frames.added.size(), 5u);
    EXPECT_EQ(frames.flags.size(), 5u);
    // Frame 0 is current and selected, so the next Delete removes it.
    EXPECT_EQ(strip.current(), 0);
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{0}));
    EXPECT_EQ(notified, (std::vector<int>{0}));
    strip.key(Qt::Key_Delete);
    EXPECT_EQ(order(), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(strip.selectedIndexes(), (std::vector<int>{0}));
    click(0);
    for (int i = 1; i < 4; ++i)
        click(i, true);
    notified.clear();
    strip.removeSelected();
    EXPECT_EQ(frames.count(), 0);
    EXPECT_EQ(strip.current(), -1);
    EXPECT_EQ(notified, (std::vector<int>{-1}));
}

TEST_F(FrameStripModelTest, ArrowKeysScrollTheStripAndTheWheelMovesIt) {
    strip.setClientSize(QSize(330, 126)); // three cells and a bit: the strip scrolls
    EXPECT_EQ(strip.scrollRange(), (6 - (330 / 108 + 1) + 1) * 108);
    EXPECT_EQ(strip.cell(0).left(), 5 + 16); // every cell shifted while it can scroll
    notified.clear();
    strip.key(Qt::Key_Right); // no current frame: frame 0
    EXPECT_EQ(notified, (std::vector<int>{0}));
    for (int k = 0; k < 3; ++k)
        strip.key(Qt::Key_Right);
    EXPECT_EQ(strip.current(), 3);
    EXPECT_EQ(strip.scroll(), 216); // frames 2 and 3 did not fit: one cell further each
    strip.key(Qt::Key_Left);
    strip.key(Qt::Key_Left);
    strip.key(Qt::Key_Left);
    EXPECT_EQ(strip.current(), 0);
    EXPECT_EQ(strip.scroll(), 0);
    strip.key(Qt::Key_Left); // at the first frame nothing happens
    EXPECT_EQ(strip.current(), 0);
    strip.wheel(-120);
    EXPECT_EQ(strip.scroll(), 30);
    strip.wheel(1200);
    EXPECT_EQ(strip.scroll(), 0);
}

} // namespace

// Files dropped from outside: where they go is the gap nearest the pointer (the middle of a
// cell is the boundary), and the frames arrive there in order, the first made current.
TEST_F(FrameStripModelTest, PicturesDroppedFromOutsideGoIntoTheGapUnderThePointer) {
    struct Row {
        const char* what;
        QPoint at;
        int index;
    };
    const Row rows[] = {
        {"left of the first cell", QPoint(0, 50), 0},
        {"the first cell's left half", in(0, -10), 0},
        {"the first cell's right half", in(0, 10), 1},
        {"the gap between cells 2 and 3", QPoint(108 * 3, 50), 3},
        {"above the strip, over cell 4's right half", QPoint(108 * 4 + 80, -20), 5},
        {"right of every cell", QPoint(790, 50), 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(strip.insertionIndex(row.at), row.index);
    }

    int aboutToChange = 0;
    strip.setAboutToChange([&] { ++aboutToChange; });
    click(4);
    notified.clear();
    EXPECT_EQ(strip.insertFrames(strip.insertionIndex(in(1, 10)),
                                 {QImage(20, 8, QImage::Format_ARGB32),
                                  QImage(21, 8, QImage::Format_ARGB32)}),
              2);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 10, 11, 2, 3, 4, 5}));
    EXPECT_EQ(frames.added.size(), 8u);
    EXPECT_EQ(frames.flags.size(), 8u);
    EXPECT_EQ(aboutToChange, 1); // before the indexes moved
    EXPECT_EQ(strip.selectedIndexes(), std::vector<int>{2});
    EXPECT_EQ(notified, std::vector<int>{2});
    // Nothing readable dropped: nothing changes, nobody is told.
    EXPECT_EQ(strip.insertFrames(0, {}), 0);
    EXPECT_EQ(aboutToChange, 1);
    // Into an empty strip.
    strip.selectIndex(0);
    while (frames.count() > 0) {
        click(0);
        strip.removeSelected();
    }
    EXPECT_EQ(strip.insertionIndex(QPoint(300, 50)), 0);
    EXPECT_EQ(strip.insertFrames(0, {QImage(30, 8, QImage::Format_ARGB32)}), 1);
    EXPECT_EQ(order(), std::vector<int>{20});
    EXPECT_EQ(strip.current(), 0);
}
