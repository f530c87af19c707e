// Selection, cut, copy, paste and the floating selection.
#include "tests/symbols/CanvasTestSupport.h"

namespace {

// A 10 x 8 picture whose pixel x,y has red x * 20 and green y * 20, opaque.
QImage gradientFrame() {
    QImage frame(10, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            frame.setPixel(x, y, qRgba(x * 20, y * 20, 0, 255));
    return frame;
}

TEST(SelectionToolTest, CutLeavesTransparentBlackAndKeepsTheCopy) {
    TestCanvas t;
    t.canvas.setPicture(gradientFrame());
    t.use(PaintTool::Selection);
    t.stroke({{6, 5}, {30, 30}, {2, 1}}); // drawn backwards; normalised to 2,1 - 6,5
    EXPECT_EQ(t.canvas.selection().rectangle(), QRect(2, 1, 4, 4));
    t.canvas.cut();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            EXPECT_EQ(t.pixel(x, y), inside ? 0u : qRgba(x * 20, y * 20, 0, 255)) << x << "," << y;
        }
    const QImage& clipboard = t.canvas.selection().clipboard();
    ASSERT_EQ(clipboard.size(), QSize(4, 4));
    EXPECT_EQ(clipboard.pixel(0, 0), qRgba(40, 20, 0, 255));
    EXPECT_EQ(clipboard.pixel(3, 3), qRgba(100, 80, 0, 255));
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.canvas.journal().count(), 1u);
}

TEST(SelectionToolTest, CopyClampsToThePictureAndIgnoresAnEmptyRectangle) {
    struct Row {
        QPoint from;
        QPoint to;
        QSize copied; // 0 x 0: nothing copied
    };
    const Row rows[] = {
        {{-5, -5}, {3, 2}, {3, 2}}, // the anchor beside the picture is clamped by the copy
        {{7, 6}, {40, 40}, {3, 2}}, // the release is clamped to the picture's size
        {{4, 4}, {4, 7}, {0, 0}},   // zero wide
        {{4, 4}, {4, 4}, {0, 0}},   // a click
    };
    for (const Row& row : rows) {
        TestCanvas t;
        t.canvas.setPicture(gradientFrame());
        t.use(PaintTool::Selection);
        t.stroke({row.from, row.to});
        t.canvas.copy();
        EXPECT_EQ(t.canvas.selection().clipboard().size(), row.copied)
            << row.from.x() << "," << row.from.y() << " -> " << row.to.x() << "," << row.to.y();
        EXPECT_EQ(t.changes, 0); // copying is not an edit
    }
}

TEST(SelectionToolTest, PasteFloatsAtTheOriginUntilDropped) {
    TestCanvas t;
    t.canvas.setPicture(gradientFrame());
    t.use(PaintTool::Selection);
    t.stroke({{0, 0}, {2, 2}});
    t.canvas.copy();

    // Another frame: the clipboard stays.
    QImage blank(10, 8, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    t.canvas.setPicture(blank);
    t.canvas.paste();
    ASSERT_TRUE(t.canvas.selection().hasFloating());
    EXPECT_EQ(t.canvas.selection().floatingRect(), QRect(0, 0, 2, 2));
    EXPECT_EQ(t.canvas.selection().rectangle(), QRect(0, 0, 2, 2));
    EXPECT_EQ(t.canvas.picture(), blank); // floating, not yet in the picture

    // Drag it by its inside from 1,1 to 5,4, then one pixel right with an arrow key.
    t.stroke({{1, 1}, {3, 2}, {5, 4}});
    EXPECT_EQ(t.canvas.selection().floatingRect(), QRect(4, 3, 2, 2));
    EXPECT_TRUE(t.canvas.moveFloatingSelection(1, 0));
    EXPECT_EQ(t.canvas.selection().floatingRect(), QRect(5, 3, 2, 2));
    EXPECT_EQ(t.changes, 0);

    t.click({0, 7}); // a press outside drops it and starts a new rubber band
    EXPECT_FALSE(t.canvas.selection().hasFloating());
    EXPECT_EQ(t.pixel(5, 3), qRgba(0, 0, 0, 255));
    EXPECT_EQ(t.pixel(6, 4), qRgba(20, 20, 0, 255));
    EXPECT_EQ(t.alpha(4, 3), 0);
    EXPECT_EQ(t.changes, 1);
    EXPECT_FALSE(t.canvas.moveFloatingSelection(1, 0));
}

TEST(SelectionToolTest, ToolChangesDropOrKeepTheFloatingSelection) {
    TestCanvas t;
    t.canvas.setPicture(gradientFrame());
    t.use(PaintTool::Selection);
    t.stroke({{0, 0}, {2, 2}});
    t.canvas.copy();
    t.canvas.paste();
    EXPECT_EQ(t.canvas.selection().rectangle(), QRect(0, 0, 2, 2));
    t.use(PaintTool::Selection, 10); // a size change with Selection kept: still floating,
    EXPECT_TRUE(t.canvas.selection().hasFloating());
    EXPECT_TRUE(t.canvas.selection().rectangle().isEmpty()); // but the rectangle is cleared
    EXPECT_EQ(t.canvas.selection().floatingRect(), QRect(0, 0, 2, 2));
    EXPECT_TRUE(t.canvas.moveFloatingSelection(3, 1)); // moving it marks its place again
    EXPECT_EQ(t.canvas.selection().rectangle(), QRect(3, 1, 2, 2));
    t.use(PaintTool::Pencil); // another tool drops it
    EXPECT_FALSE(t.canvas.selection().hasFloating());
    EXPECT_EQ(t.changes, 1);

    t.canvas.paste(); // Cut, Copy and Paste need the Selection tool
    EXPECT_FALSE(t.canvas.selection().hasFloating());
    t.use(PaintTool::Selection);
    EXPECT_TRUE(t.canvas.selection().rectangle().isEmpty()); // cleared by choosing Selection
}

} // namespace
