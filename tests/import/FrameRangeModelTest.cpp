#include "import/FrameRangeModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Marker = FrameRangeModel::Marker;

// The ruler of the dialog: 522 pixels wide, 104 samples of 5 pixels in view.
constexpr int kClient = 522;

TEST(FrameRangeModelTest, AVideoOpensOnItsFirstThirtySamplesAtTwelveASecond) {
    struct Row {
        double seconds;
        int total;
        int end;
        const char* caption;
    };
    const Row rows[] = {
        {10.0, 120, 30, "Import 30 frames"},
        {2.0, 24, 24, "Import 24 frames"},
        {2.55, 30, 30, "Import 30 frames"}, // 30.6 samples, truncated
        {0.05, 0, 0, "Import 0 frames"},    // shorter than one sample
        {-1.0, 0, 0, "Import 0 frames"},
        {std::nan(""), 0, 0, "Import 0 frames"},
        {std::numeric_limits<double>::infinity(), 0, 0, "Import 0 frames"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seconds);
        const FrameRangeModel model(FrameRangeModel::sampleCount(row.seconds), kClient);
        EXPECT_EQ(model.total(), row.total);
        EXPECT_EQ(model.start(), 0);
        EXPECT_EQ(model.end(), row.end);
        EXPECT_EQ(model.scroll(), 0);
        EXPECT_EQ(model.caption().toStdString(), row.caption);
    }
    // An absurd guessed duration still gives a sample count whose pixels fit an int.
    const FrameRangeModel huge(FrameRangeModel::sampleCount(1e300), kClient);
    EXPECT_GT(huge.scrollRange(), 0);
    EXPECT_EQ(huge.end(), 30);
}

TEST(FrameRangeModelTest, MarkersAreHitOnTheirEightPixelSquares) {
    //   start 0: 0..7 x 24..31        end 30: 142..149 x 24..31
    const FrameRangeModel model(120, kClient);
    EXPECT_EQ(model.startMarker(), QRect(0, 24, 8, 8));
    EXPECT_EQ(model.endMarker(), QRect(142, 24, 8, 8));
    const std::pair<QPoint, Marker> rows[] = {
        {{0, 24}, Marker::Start}, {{7, 31}, Marker::Start},  {{8, 28}, Marker::None},
        {{4, 23}, Marker::None},  {{4, 32}, Marker::None},   {{142, 24}, Marker::End},
        {{149, 31}, Marker::End}, {{150, 28}, Marker::None}, {{141, 28}, Marker::None},
    };
    for (const auto& [point, marker] : rows) {
        SCOPED_TRACE(testing::Message() << point.x() << "," << point.y());
        EXPECT_EQ(model.hitTest(point), marker);
    }
}

TEST(FrameRangeModelTest, DragsKeepAtLeastOneSampleInsideTheRulerAndTheVideo) {
    // Each row: a video of `total` samples, then drags of the start (S) or end (E) marker to
    // pointer x, each followed by the range it leaves.
    struct Drag {
        char marker;
        int x;
        int start;
        int end;
    };
    struct Row {
        const char* name;
        int total;
        std::vector<Drag> drags;
    };
    const Row rows[] = {
        {"start past the end stops one sample before it", 120, {{'S', 400, 29, 30}}},
        {"start within a sample", 120, {{'S', 54, 10, 30}, {'S', 59, 11, 30}}},
        {"start left of the ruler", 120, {{'S', 50, 10, 30}, {'S', -7, 0, 30}}},
        {"end before the start stays one after it", 120, {{'S', 50, 10, 30}, {'E', 20, 10, 11}}},
        {"end beyond the ruler stops at its width", 200, {{'E', 900, 0, 104}}},
        {"end beyond a short video stops at its last sample", 24, {{'E', 300, 0, 24}}},
        {"end pulled back in", 24, {{'E', 61, 0, 12}, {'E', 300, 0, 24}}},
        {"start then end to one sample", 120, {{'S', 140, 28, 30}, {'E', 0, 28, 29}}},
        {"no samples: nothing to drag to", 0, {{'E', 300, 0, 0}, {'S', 300, 0, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FrameRangeModel model(row.total, kClient);
        for (const Drag& drag : row.drags) {
            const int oldStart = model.start(), oldEnd = model.end();
            const bool changed =
                drag.marker == 'S' ? model.dragStartTo(drag.x) : model.dragEndTo(drag.x);
            EXPECT_EQ(model.start(), drag.start);
            EXPECT_EQ(model.end(), drag.end);
            EXPECT_EQ(changed, oldStart != drag.start || oldEnd != drag.end);
        }
    }
    FrameRangeModel model(120, kClient);
    model.dragStartTo(400);
    EXPECT_EQ(model.caption().toStdString(), "Import 1 frames");
}

TEST(FrameRangeModelTest, PressMoveReleaseDragsTheMarkerUnderThePointer) {
    FrameRangeModel model(120, kClient);
    EXPECT_FALSE(model.press({60, 28})); // between the markers
    EXPECT_FALSE(model.move(300));
    EXPECT_EQ(model.end(), 30);

    ASSERT_TRUE(model.press({3, 28}));
    EXPECT_TRUE(model.move(400));
    EXPECT_FALSE(model.move(500)); // already against the end
    model.release();
    EXPECT_EQ(model.start(), 29);
    EXPECT_FALSE(model.move(0)); // released: no drag

    // start 29, end 30: the markers overlap on 145..149; the first move chooses.
    //   start marker 145..152, end marker 142..149
    ASSERT_TRUE(model.press({147, 28}));
    EXPECT_FALSE(model.move(147));
    EXPECT_TRUE(model.move(200)); // rightwards: the end
    EXPECT_TRUE(model.move(100)); // still the end, held at start + 1
    model.release();
    EXPECT_EQ(model.start(), 29);
    EXPECT_EQ(model.end(), 30);
    ASSERT_TRUE(model.press({147, 28}));
    EXPECT_TRUE(model.move(120)); // leftwards: the start
    model.release();
    EXPECT_EQ(model.start(), 24);
    EXPECT_EQ(model.end(), 30);
    // Outside the overlap each marker is dragged as it is.
    ASSERT_TRUE(model.press({148, 28})); // end marker only
    EXPECT_TRUE(model.move(100));
    EXPECT_EQ(model.end(), 25);
}

TEST(FrameRangeModelTest, ScrollCodesMoveFiftyPixelsInsideTheRange) {
    // 120 samples are 600 pixels; 522 are in view: scroll positions 0..78.
    FrameRangeModel model(120, kClient);
    ASSERT_EQ(model.scrollRange(), 78);
    struct Step {
        int code;
        int position;
        int scroll;
    };
    const Step steps[] = {
        {1, 0, 50},  {1, 0, 78},    {1, 0, 78}, {0, 0, 28}, {2, 0, 0}, {2, 0, 0},  {3, 0, 50},
        {5, 60, 60}, {4, 1000, 78}, {4, -5, 0}, {7, 0, 78}, {6, 0, 0}, {8, 40, 0}, {-1, 9, 0},
    };
    int before = model.scroll();
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "code " << step.code << " from " << before);
        EXPECT_EQ(model.scrollBy(step.code, step.position), step.scroll != before);
        EXPECT_EQ(model.scroll(), step.scroll);
        before = model.scroll();
    }
    // A video narrower than the ruler does not scroll.
    FrameRangeModel shortVideo(24, kClient);
    EXPECT_EQ(shortVideo.scrollRange(), 0);
    EXPECT_FALSE(shortVideo.scrollBy(FrameRangeModel::LineRight));
    EXPECT_FALSE(shortVideo.scrollBy(FrameRangeModel::ToEnd));
    // A wider ruler pulls the position back inside its smaller range.
    model.scrollBy(FrameRangeModel::ToEnd);
    EXPECT_TRUE(model.setClientWidth(560)); // range 40
    EXPECT_EQ(model.scroll(), 40);
    EXPECT_FALSE(model.setClientWidth(560));
}

TEST(FrameRangeModelTest, ScrollingShiftsTheSamplesUnderTheMarkersByWholeSamples) {
    // Sample i of the ruler stands for (i + s / 5) / 12 seconds, 1 / 12 taken as 0.083333.
    FrameRangeModel model(120, kClient);
    EXPECT_DOUBLE_EQ(model.sampleTime(0), 0.0);
    EXPECT_DOUBLE_EQ(model.sampleTime(29), 2.416657);
    EXPECT_DOUBLE_EQ(model.sampleTime(12), 0.999996); // just before the second's boundary
    model.scrollBy(FrameRangeModel::ThumbTrack, 54);  // 10 whole samples, 4 pixels ignored
    EXPECT_EQ(model.firstSample(), 10);
    EXPECT_DOUBLE_EQ(model.sampleTime(0), 0.83333);
    EXPECT_EQ(model.sampleAt(29), 39);
    model.scrollBy(FrameRangeModel::ToEnd); // 78: 15 samples
    EXPECT_DOUBLE_EQ(model.sampleTime(5), 1.666660);
    // The markers stay where they were in the ruler: the range now covers samples 15..44.
    EXPECT_EQ(model.startMarker(), QRect(0, 24, 8, 8));
    EXPECT_EQ(model.sampleAt(model.start()), 15);
    EXPECT_EQ(model.sampleAt(model.end() - 1), 44);
    // The end can go to the ruler's edge, whose sample still lies in the video.
    EXPECT_TRUE(model.dragEndTo(kClient));
    EXPECT_EQ(model.end(), 104);
    EXPECT_LT(model.sampleAt(model.end() - 1), model.total());
}

} // namespace
