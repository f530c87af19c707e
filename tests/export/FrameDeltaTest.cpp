// FrameDelta: the rectangle a frame changes over what the viewer shows, and the pixels in it
// that stay.
#include "export/FrameDelta.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QImage filled(QRgb colour) {
    QImage frame(40, 30, QImage::Format_RGB32);
    frame.fill(colour);
    return frame;
}

bool painted(const FrameDelta::Change& change, int x, int y) {
    return change.pixels.pixelColor(x - change.rect.x(), y - change.rect.y()).alpha() != 0;
}

TEST(FrameDeltaTest, OnlyTheChangedRectangleIsPaintedAndStillPixelsInItStay) {
    FrameDelta delta(2);
    const QImage first = filled(qRgb(100, 100, 100));
    const FrameDelta::Change whole = delta.next(first);
    EXPECT_EQ(whole.rect, QRect(0, 0, 40, 30));
    EXPECT_EQ(whole.painted, 40 * 30);
    EXPECT_FALSE(whole.hasTransparent());

    struct Row {
        const char* name;
        std::vector<std::pair<QPoint, QRgb>> pixels; // set on the last frame
        QRect rect;
        qint64 painted;
    };
    const Row rows[] = {
        {"nothing changes", {}, QRect(0, 0, 1, 1), 0},
        {"within the tolerance", {{QPoint(5, 5), qRgb(102, 98, 101)}}, QRect(0, 0, 1, 1), 0},
        {"one pixel", {{QPoint(7, 3), qRgb(103, 100, 100)}}, QRect(7, 3, 1, 1), 1},
        {"two corners",
         {{QPoint(2, 20), qRgb(0, 0, 0)}, {QPoint(30, 4), qRgb(255, 0, 0)}},
         QRect(QPoint(2, 4), QPoint(30, 20)),
         2},
    };
    QImage frame = first;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const auto& [at, colour] : row.pixels)
            frame.setPixel(at, colour);
        const FrameDelta::Change change = delta.next(frame);
        EXPECT_EQ(change.rect, row.rect);
        EXPECT_EQ(change.painted, row.painted);
        EXPECT_EQ(change.pixels.size(), row.rect.size());
        for (const auto& [at, colour] : row.pixels)
            if (change.rect.contains(at) && row.painted > 0) {
                EXPECT_TRUE(painted(change, at.x(), at.y()));
                EXPECT_EQ(change.pixels.pixelColor(at - change.rect.topLeft()).rgb(), colour);
            }
        if (row.painted == 2) { // the pixels between the corners stay
            EXPECT_FALSE(painted(change, 10, 10));
        }
    }
}

TEST(FrameDeltaTest, ASlowFadeIsRepaintedOnceItDriftsPastTheTolerance) {
    // One pixel brightens a level a frame. Kept pixels are compared with the colour they were
    // last painted for, not with the previous frame: with tolerance 3 every fourth frame paints
    // it, so the viewer is never more than 3 levels off.
    FrameDelta delta(3);
    QImage frame = filled(qRgb(50, 50, 50));
    delta.next(frame);
    std::vector<int> paintedAt;
    for (int f = 1; f <= 12; ++f) {
        frame.setPixel(9, 9, qRgb(50 + f, 50, 50));
        if (delta.next(frame).painted > 0)
            paintedAt.push_back(f);
    }
    EXPECT_EQ(paintedAt, (std::vector<int>{4, 8, 12}));

    // A frame of another size starts over with a whole frame.
    QImage smaller(20, 10, QImage::Format_RGB32);
    smaller.fill(Qt::white);
    EXPECT_EQ(delta.next(smaller).rect, QRect(0, 0, 20, 10));
}

} // namespace
