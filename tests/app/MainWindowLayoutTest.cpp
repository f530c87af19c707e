#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

namespace {

// A rectangle from left, top, right, bottom (right and bottom outside it), as the layout's
// rules are written.
QRect ltrb(int l, int t, int r, int b) {
    return QRect(l, t, r - l, b - t);
}

TEST(MainWindowLayoutTest, PanelsFollowTheTimelineTopAtThreeWindowSizes) {
    struct Row {
        QSize client;
        int top; // H - H * 266 / 768
        QRect stage, library, text;
    };
    const Row rows[] = {
        {{800, 600}, 393, ltrb(200, 60, 590, 350), ltrb(10, 92, 190, 324), ltrb(600, 60, 790, 350)},
        {{1024, 768},
         502,
         ltrb(200, 60, 814, 459),
         ltrb(10, 92, 190, 433),
         ltrb(824, 60, 1014, 459)},
        {{1920, 1080},
         706,
         ltrb(200, 60, 1710, 663),
         ltrb(10, 92, 190, 637),
         ltrb(1720, 60, 1910, 663)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.client.width());
        const int w = row.client.width(), h = row.client.height();
        const MainWindowLayout withLayers(row.client, true);
        EXPECT_EQ(withLayers.timelineTop(), row.top);
        EXPECT_EQ(withLayers.stageView(), row.stage);
        EXPECT_EQ(withLayers.libraryPanel(), row.library);
        EXPECT_EQ(withLayers.textPanel(), row.text);
        EXPECT_EQ(withLayers.timeline(), ltrb(10, row.top, w - 300, h - 10));
        EXPECT_EQ(withLayers.motionPanel(), ltrb(w - 300, row.top, w - 10, h - 10));

        // Without layers the motion panel is hidden and the timeline is 290 pixels wider.
        const MainWindowLayout noLayers(row.client, false);
        EXPECT_TRUE(noLayers.motionPanel().isEmpty());
        EXPECT_FALSE(noLayers.motionPanelShown());
        EXPECT_EQ(noLayers.timeline().width(), withLayers.timeline().width() + 290);
        EXPECT_EQ(noLayers.stageView(), withLayers.stageView());

        EXPECT_EQ(withLayers.closeButton(), ltrb(w - 30, 5, w - 14, 21));
        EXPECT_EQ(withLayers.maximiseButton(), ltrb(w - 50, 5, w - 34, 21));
        EXPECT_EQ(withLayers.minimiseButton(), ltrb(w - 70, 5, w - 54, 21));
        EXPECT_EQ(withLayers.libraryControls()[0], ltrb(16, row.top - 63, 131, row.top - 47));
    }
}

TEST(MainWindowLayoutTest, ToolbarButtonsLeaveGapsBetweenTheirGroups) {
    const MainWindowLayout layout(QSize(1024, 768), true);
    const auto buttons = layout.toolbarButtons();
    // 26 apart inside a group, 36 after positions 2, 5, 8, 10, 14 and 19.
    const int expected[22] = {10,  36,  62,  98,  124, 150, 186, 212, 238, 274, 300,
                              336, 362, 388, 414, 450, 476, 502, 528, 554, 590, 616};
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(buttons[std::size_t(i)].left(), expected[i]) << i;
        EXPECT_EQ(buttons[std::size_t(i)].top(), 502 - 29) << i;
        EXPECT_EQ(buttons[std::size_t(i)].size(), QSize(24, 24)) << i;
    }
}

TEST(MainWindowLayoutTest, PressZonesMoveOrResizeTheWindow) {
    using Zone = MainWindowLayout::Zone;
    const QSize client(1000, 700);
    struct Row {
        QPoint point;
        Zone zone;
    };
    const Row rows[] = {
        {{2, 2}, Zone::TopLeft},      {{7, 4}, Zone::TopLeft},         {{997, 3}, Zone::TopRight},
        {{2, 697}, Zone::BottomLeft}, {{996, 698}, Zone::BottomRight}, {{2, 300}, Zone::Left},
        {{2, 8}, Zone::None}, // between the corner square and the side edge
        {{998, 300}, Zone::Right},    {{500, 1}, Zone::Top},           {{500, 698}, Zone::Bottom},
        {{500, 12}, Zone::Move},      {{9, 12}, Zone::None},   // the move strip starts 10 pixels in
        {{990, 12}, Zone::None},      {{500, 25}, Zone::None}, // below the caption
        {{500, 300}, Zone::None},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MainWindowLayout::zoneAt(client, row.point), row.zone)
            << row.point.x() << "," << row.point.y();
}

} // namespace
