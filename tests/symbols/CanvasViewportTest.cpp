// Zoom steps, point mapping and the scroll bar codes of the canvas window.
#include "symbols/CanvasViewport.h"
#include "tests/symbols/CanvasTestSupport.h"

namespace {

TEST(CanvasViewportTest, ZoomStopsAtFourAndAtAQuarter) {
    TestCanvas t;
    int steps = 0;
    while (t.canvas.zoomIn())
        ++steps;
    EXPECT_EQ(steps, 12); // 1.0 -> 4.0 in twelve quarter steps
    EXPECT_EQ(t.canvas.viewport().zoom(), 4.0f);

    CanvasViewport view;
    const float expected[] = {0.75f, 0.5f, 0.25f, 0.25f, 0.25f};
    for (const float zoom : expected) {
        view.zoomOut();
        EXPECT_EQ(view.zoom(), zoom);
    }
    EXPECT_TRUE(view.zoomIn());
    EXPECT_EQ(view.zoom(), 0.5f);
}

TEST(CanvasViewportTest, ClientPointsMapToCanvasPixelsTruncated) {
    struct Row {
        int zoomSteps; // from 1.0, in quarters
        QPoint offsets;
        QPoint client;
        QPoint canvas;
    };
    const Row rows[] = {
        {0, {0, 0}, {17, 3}, {17, 3}},
        {4, {10, 4}, {5, 7}, {7, 5}},     // (5 + 10) / 2 = 7.5, (7 + 4) / 2 = 5.5
        {-1, {0, 0}, {10, 11}, {13, 14}}, // 10 / 0.75 = 13.3, 11 / 0.75 = 14.7
        {12, {100, 30}, {3, 1}, {25, 7}}, // 103 / 4, 31 / 4
        {-3, {0, 0}, {1, 3}, {4, 12}},
    };
    for (const Row& row : rows) {
        CanvasViewport view;
        view.setCanvasSize(QSize(400, 300));
        view.setClientSize(QSize(100, 80));
        for (int i = 0; i < std::abs(row.zoomSteps); ++i)
            row.zoomSteps > 0 ? view.zoomIn() : view.zoomOut();
        view.setOffsets(row.offsets.x(), row.offsets.y());
        ASSERT_EQ(QPoint(view.horizontalOffset(), view.verticalOffset()), row.offsets);
        EXPECT_EQ(view.toCanvas(row.client), row.canvas) << "zoom " << view.zoom();
        // The mapping back lands on the top-left corner of the zoomed pixel or before the
        // client point.
        const QPointF back = view.canvasToClient().map(QPointF(row.canvas));
        EXPECT_LE(back.x(), row.client.x());
        EXPECT_GT(back.x() + view.zoom(), row.client.x());
    }
}

TEST(CanvasViewportTest, ScrollCodesMoveAndClampBothBars) {
    // A 200 x 100 picture at zoom 2 in a 150 x 80 client: ranges 250 and 120.
    struct Row {
        bool vertical;
        int code;
        int position;
        int from;
        int to;
    };
    const Row rows[] = {
        {false, CanvasViewport::LineBack, 0, 50, 49},
        {false, CanvasViewport::LineForward, 0, 50, 51},
        {false, CanvasViewport::PageBack, 0, 50, 20},
        {false, CanvasViewport::PageForward, 0, 50, 80},
        {false, CanvasViewport::ThumbTrack, 77, 50, 77},
        {false, CanvasViewport::ThumbPosition, 999, 50, 250},
        {false, CanvasViewport::ToStart, 0, 50, 0},
        {false, CanvasViewport::ToEnd, 0, 50, 250},
        {false, CanvasViewport::LineBack, 0, 0, 0},
        {false, CanvasViewport::PageForward, 0, 240, 250},
        {true, CanvasViewport::LineBack, 0, 50, 49},
        {true, CanvasViewport::LineForward, 0, 50, 51},
        {true, CanvasViewport::PageBack, 0, 10, 0},
        {true, CanvasViewport::PageForward, 0, 50, 80},
        {true, CanvasViewport::ThumbPosition, 60, 50, 60},
        {true, CanvasViewport::ToEnd, 0, 50, 120},
        {true, CanvasViewport::ToStart, 0, 50, 0},
        {true, 99, 0, 50, 50}, // unknown code
    };
    for (const Row& row : rows) {
        CanvasViewport view;
        view.setCanvasSize(QSize(200, 100));
        view.setClientSize(QSize(150, 80));
        view.zoomIn();
        view.zoomIn();
        view.zoomIn();
        view.zoomIn();
        ASSERT_EQ(view.horizontalRange(), 250);
        ASSERT_EQ(view.verticalRange(), 120);
        if (row.vertical) {
            view.setOffsets(0, row.from);
            view.scrollVertical(row.code, row.position);
            EXPECT_EQ(view.verticalOffset(), row.to) << "vertical code " << row.code;
            EXPECT_EQ(view.horizontalOffset(), 0);
        } else {
            view.setOffsets(row.from, 0);
            view.scrollHorizontal(row.code, row.position);
            EXPECT_EQ(view.horizontalOffset(), row.to) << "horizontal code " << row.code;
        }
    }
}

TEST(CanvasViewportTest, WheelAndZoomOutKeepOffsetsInRange) {
    CanvasViewport view;
    view.setCanvasSize(QSize(200, 300));
    view.setClientSize(QSize(100, 100)); // ranges 100 and 200
    view.wheel(-120, false);             // one notch towards the user: down
    EXPECT_EQ(view.verticalOffset(), 120);
    view.wheel(-120, false);
    EXPECT_EQ(view.verticalOffset(), 200);
    view.wheel(240, true); // the horizontal bar has the focus
    EXPECT_EQ(view.horizontalOffset(), 0);
    view.wheel(-60, true);
    EXPECT_EQ(view.horizontalOffset(), 60);
    view.zoomOut(); // 150 x 225 zoomed: ranges 50 and 125
    EXPECT_EQ(view.horizontalOffset(), 50);
    EXPECT_EQ(view.verticalOffset(), 125);
    view.zoomOut();
    view.zoomOut(); // 50 x 75 zoomed, smaller than the client
    EXPECT_EQ(QPoint(view.horizontalOffset(), view.verticalOffset()), QPoint(0, 0));
}

} // namespace
