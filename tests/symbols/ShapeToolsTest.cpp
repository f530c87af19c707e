// Line, rectangles, ellipses, the polygon and the four fill types on small pictures.
#include "tests/symbols/CanvasTestSupport.h"

namespace {

constexpr std::uint32_t kBlueRef = 0xFF0000; // 0x00BBGGRR

TEST(ShapeToolsTest, LineCapsFollowThePenShape) {
    // Line 10,20 -> 30,20 with a pen 10 wide: the body covers y 15..25; a square cap adds
    // x 5..10 and 30..35 as a box, a round cap half discs of radius 5.
    struct Row {
        QPoint pixel;
        int squareAlpha;
        int roundAlpha;
    };
    const Row rows[] = {
        {{20, 20}, 255, 255}, {{20, 15}, 255, 255}, {{20, 24}, 255, 255}, {{20, 25}, 0, 0},
        {{20, 14}, 0, 0},     {{7, 20}, 255, 255},  {{5, 15}, 255, 0},    {{34, 24}, 255, 0},
        {{35, 20}, 0, 0},     {{4, 20}, 0, 0},
    };
    for (const PenShape shape : {PenShape::Square, PenShape::Round}) {
        TestCanvas t;
        t.use(PaintTool::Line, 10, shape, FillType::Solid, kBlueRef);
        t.stroke({{10, 20}, {25, 30}, {30, 20}}); // the end follows the drag to the release
        for (const Row& row : rows) {
            const int expected = shape == PenShape::Square ? row.squareAlpha : row.roundAlpha;
            EXPECT_EQ(t.alpha(row.pixel.x(), row.pixel.y()), expected)
                << "shape " << int(shape) << " at " << row.pixel.x() << "," << row.pixel.y();
        }
        EXPECT_EQ(t.pixel(20, 20), 0xFF0000FFu);
        EXPECT_EQ(t.canvas.journal().count(), 1u);
    }
}

TEST(ShapeToolsTest, OutlinesSpanAnchorAndReleaseInAnyDirection) {
    // Rectangle and ellipse over 10,10 - 50,30 drawn from the bottom-right corner, pen 4 wide:
    // the outline covers 8..12 around the left edge; the inside stays empty.
    struct Row {
        PaintTool tool;
        PenShape shape;
        QPoint pixel;
        int alpha;
    };
    const Row rows[] = {
        {PaintTool::Rectangle, PenShape::Square, {9, 20}, 255},
        {PaintTool::Rectangle, PenShape::Square, {30, 29}, 255},
        {PaintTool::Rectangle, PenShape::Square, {30, 20}, 0},
        {PaintTool::Rectangle, PenShape::Square, {7, 20}, 0},
        {PaintTool::Rectangle, PenShape::Square, {8, 8}, 255}, // mitred corner
        {PaintTool::Ellipse, PenShape::Round, {10, 20}, 255},  // leftmost point
        {PaintTool::Ellipse, PenShape::Round, {30, 10}, 255},  // top point
        {PaintTool::Ellipse, PenShape::Round, {30, 20}, 0},
        {PaintTool::Ellipse, PenShape::Round, {11, 11}, 0}, // bounding box corner
    };
    for (const Row& row : rows) {
        TestCanvas t;
        t.use(row.tool, 4, row.shape, FillType::Solid, kBlueRef);
        t.stroke({{50, 30}, {10, 10}});
        EXPECT_EQ(t.alpha(row.pixel.x(), row.pixel.y()), row.alpha)
            << "tool " << int(row.tool) << " at " << row.pixel.x() << "," << row.pixel.y();
    }
    TestCanvas round;
    round.use(PaintTool::Rectangle, 4, PenShape::Round, FillType::Solid, kBlueRef);
    round.stroke({{50, 30}, {10, 10}});
    EXPECT_LT(round.alpha(8, 8), 128); // round joins cut the corner
}

TEST(ShapeToolsTest, FillTypesFadeTheRightWay) {
    // Filled rectangle and ellipse over 0,0 - 40,20 (no outline).
    for (const PaintTool tool : {PaintTool::FilledRectangle, PaintTool::FilledEllipse}) {
        auto fill = [&](FillType type) {
            auto t = std::make_unique<TestCanvas>(QSize(60, 40));
            t->use(tool, 5, PenShape::Round, type, kBlueRef);
            t->stroke({{0, 0}, {40, 20}});
            return t;
        };
        const auto solid = fill(FillType::Solid);
        EXPECT_EQ(solid->pixel(20, 10), 0xFF0000FFu);
        EXPECT_EQ(solid->alpha(45, 10), 0);

        const auto horizontal = fill(FillType::HorizontalGradient);
        EXPECT_GT(horizontal->alpha(4, 10), horizontal->alpha(20, 10));
        EXPECT_GT(horizontal->alpha(20, 10), horizontal->alpha(36, 10));
        EXPECT_EQ(horizontal->alpha(20, 3), horizontal->alpha(20, 16));
        EXPECT_NEAR(horizontal->alpha(20, 10), 128, 8);

        const auto vertical = fill(FillType::VerticalGradient);
        EXPECT_GT(vertical->alpha(20, 3), vertical->alpha(20, 10));
        EXPECT_GT(vertical->alpha(20, 10), vertical->alpha(20, 17));
        EXPECT_EQ(vertical->alpha(8, 10), vertical->alpha(32, 10));

        const auto radial = fill(FillType::RadialGradient);
        EXPECT_GT(radial->alpha(20, 10), 220);
        EXPECT_GT(radial->alpha(20, 10), radial->alpha(30, 10));
        EXPECT_GT(radial->alpha(30, 10), radial->alpha(38, 10));
        EXPECT_GT(radial->alpha(20, 10), radial->alpha(20, 17));
        EXPECT_EQ(radial->alpha(50, 10), 0);
        EXPECT_GE(qBlue(radial->pixel(30, 10)), 250);
    }
}

// The triangle 10,10 - 50,10 - 30,38, placed with three clicks.
void placeTriangle(TestCanvas& t) {
    t.click({10, 10});
    t.stroke({{45, 12}, {50, 10}}); // the vertex follows the drag to the release
    t.click({30, 38});
}

TEST(ShapeToolsTest, PolygonClosesByRightPressDoubleClickOrToolChange) {
    std::vector<QImage> results;
    for (int way = 0; way < 3; ++way) {
        TestCanvas t;
        t.use(PaintTool::Polygon, 3, PenShape::Round, FillType::Solid, kBlueRef);
        placeTriangle(t);
        EXPECT_TRUE(t.canvas.isPolygonOpen());
        EXPECT_EQ(t.changes, 0); // nothing is committed while the polygon is open
        if (way == 0) {
            t.canvas.pointer(PointerAction::RightPress, {55, 5});
        } else if (way == 1) {
            t.canvas.pointer(PointerAction::DoubleClick, {30, 38});
            t.canvas.pointer(PointerAction::Release, {30, 38});
        } else {
            t.use(PaintTool::Pencil);
        }
        EXPECT_FALSE(t.canvas.isPolygonOpen()) << "way " << way;
        EXPECT_EQ(t.changes, 1) << "way " << way;
        EXPECT_EQ(t.pixel(30, 20), 0xFF0000FFu) << "way " << way; // filled inside
        EXPECT_EQ(t.pixel(20, 24), 0xFF0000FFu) << "way " << way; // closing edge
        EXPECT_EQ(t.alpha(10, 30), 0) << "way " << way;
        results.push_back(t.canvas.picture());
    }
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[0], results[2]);

    TestCanvas stays; // a size change with the polygon tool kept leaves it open
    stays.use(PaintTool::Polygon);
    placeTriangle(stays);
    stays.use(PaintTool::Polygon, 10);
    EXPECT_TRUE(stays.canvas.isPolygonOpen());
}

TEST(ShapeToolsTest, PolygonGradientsSpanTheClientAreaNotThePolygon) {
    // A horizontal gradient across a client area 100 wide: alpha falls by 2.55 a pixel from
    // x = 0, whatever the polygon's own bounds (here x 60..90).
    TestCanvas t(QSize(100, 40));
    t.canvas.viewport().setClientSize(QSize(100, 50));
    t.use(PaintTool::Polygon, 1, PenShape::Round, FillType::HorizontalGradient, kBlueRef);
    t.click({60, 5});
    t.click({90, 5});
    t.click({90, 35});
    t.click({60, 35});
    t.canvas.pointer(PointerAction::RightPress, {0, 0});
    EXPECT_NEAR(t.alpha(65, 20), 255 * (100 - 65.5) / 100, 4);
    EXPECT_NEAR(t.alpha(85, 20), 255 * (100 - 85.5) / 100, 4);

    TestCanvas radial(QSize(100, 40));
    radial.use(PaintTool::Polygon, 1, PenShape::Round, FillType::RadialGradient, kBlueRef);
    radial.click({60, 5});
    radial.click({90, 5});
    radial.click({75, 35});
    radial.canvas.pointer(PointerAction::RightPress, {0, 0});
    EXPECT_GT(radial.alpha(75, 15), 200); // around the centroid 75,15
    EXPECT_LT(radial.alpha(75, 30), radial.alpha(75, 20));
}

TEST(ShapeToolsTest, ResizeKeepsTheTopLeftPixelsAndRecordsTheEdit) {
    TestCanvas t(QSize(4, 3), qRgba(1, 2, 3, 255));
    t.canvas.resizePicture(QSize(6, 2));
    EXPECT_EQ(t.canvas.size(), QSize(6, 2));
    EXPECT_EQ(t.pixel(3, 1), qRgba(1, 2, 3, 255));
    EXPECT_EQ(t.pixel(4, 1), 0u);
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.canvas.viewport().canvasSize(), QSize(6, 2));
    ASSERT_TRUE(t.canvas.undo());
    EXPECT_EQ(t.canvas.size(), QSize(4, 3));
    EXPECT_EQ(t.canvas.viewport().canvasSize(), QSize(4, 3));
}

} // namespace
