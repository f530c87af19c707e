#include "document/AnimationObject.h"

#include "document/Project.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(AnimationObjectTest, NewObjectsAreCentredOnTheStage) {
    struct Row {
        int stageWidth, stageHeight, width, height;
        float x, y;
    };
    // x = stage / 2 - (width / 2) with integer halving of the object's size.
    const std::vector<Row> rows{
        {320, 120, 20, 10, 150.0f, 55.0f},
        {320, 120, 21, 11, 150.0f, 55.0f},
        {321, 121, 21, 11, 150.5f, 55.5f},
        {10, 10, 100, 60, -45.0f, -25.0f}, // larger than the stage
        {320, 120, 0, 0, 160.0f, 60.0f},
    };
    for (const Row& row : rows) {
        Project project = Project::unnamed("p");
        project.header.width = row.stageWidth;
        project.header.height = row.stageHeight;
        const AnimationObject o =
            AnimationObject::makeSymbolObject(QSize(row.width, row.height), project.header);
        EXPECT_EQ(o.record.startX, row.x) << row.stageWidth << " " << row.width;
        EXPECT_EQ(o.record.startY, row.y) << row.stageHeight << " " << row.height;
        EXPECT_EQ(o.record.endX, row.x);
        EXPECT_EQ(o.record.dragOriginY, row.y);
    }
}

TEST(AnimationObjectTest, ContinuationOfASpanStartsWhereItEnds) {
    Project project = Project::unnamed("p");
    AnimationObject first = AnimationObject::makeSymbolObject(QSize(8, 8), project.header);
    first.record.startFrame = 0;
    first.record.endFrame = 20;
    const AnimationObject next = first.continuation(kLinerMotion, 12);
    EXPECT_EQ(next.record.startFrame, 20);
    EXPECT_EQ(next.record.endFrame, 40);
    EXPECT_EQ(next.record.motionStartFrame, 20);
    EXPECT_EQ(next.record.motionEndFrame, 40);

    first.record.startFrame = 7; // an offset span keeps its length
    first.record.endFrame = 10;
    const AnimationObject short_ = first.continuation(kGuideLineMotion, 12);
    EXPECT_EQ(short_.record.startFrame, 10);
    EXPECT_EQ(short_.record.endFrame, 13);
    EXPECT_EQ(short_.record.motionKind, kGuideLineMotion);
}

} // namespace
