#include "stage/StageCanvas.h"

#include "export/ExportSource.h"

#include "tests/document/EditorTestSupport.h"
#include "text/FontTextMeasurer.h"
#include "text/AppendedTransform.h"

#include <QColor>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);

QImage solid(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

// Channels within `tolerance` of each other.
bool near(QRgb a, QRgb b, int tolerance = 3) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A 100 x 60 white stage at 20 frames, drawn into an export-size buffer unless told
// otherwise.
class FrameRendererTest : public ::testing::Test {
protected:
    FrameRendererTest() : canvas(editor.document()) {
        ProjectProperties properties;
        properties.name = "Render";
        properties.width = 100;
        properties.height = 60;
        editor.newProject(properties);
        canvas.setStageSize(100, 60);
        canvas.setEditView(false);
    }

    // Adds a symbol object of one solid picture with its box's top-left corner at (x, y).
    AnimationObject& addSquare(int size, float x, float y, QRgb colour = kRed, int height = 0) {
        editor.insertLibrarySymbol(SymbolId::create(),
                                   {solid(size, height ? height : size, colour)});
        AnimationObject& object = editor.project().objects[editor.project().objects.count() - 1];
        object.record.startX = object.record.endX = x;
        object.record.startY = object.record.endY = y;
        return object;
    }
    // Frame `frame` as an export draws it, or as the stage view shows it.
    QImage render(int frame, bool exportSize = true) {
        if (exportSize)
            return ExportSource::take(editor.document(), canvas.zoom()).drawFrame(frame);
        canvas.makeViewBackBuffer();
        canvas.setCurrentFrame(frame);
        auto lock = editor.document().lock();
        canvas.drawFrame(lock);
        return canvas.backBuffer(lock).copy();
    }
    std::optional<QPolygonF> hitRegion(int index) {
        auto lock = editor.document().lock();
        return canvas.hitRegion(lock, index);
    }

    TestEditor editor;
    StageCanvas canvas;
};

TEST(AppendedTransformTest, StepsApplyInTheOrderWritten) {
    // Translate, then rotate by 90 degrees clockwise, then scale by 2: (1, 0) -> (2, 0) ->
    // (0, 2) -> (0, 4).
    const QTransform t = AppendedTransform().translate(1, 0).rotate(90).scale(2, 2).matrix();
    const QPointF p = t.map(QPointF(1, 0));
    EXPECT_NEAR(p.x(), 0.0, 1e-9);
    EXPECT_NEAR(p.y(), 4.0, 1e-9);
}

TEST_F(FrameRendererTest, LinerMotionPutsTheSquareWhereTheStateSays) {
    //   Liner motion over frames 0..10, 10 x 10 square
    //   (10, 20) -------------> (70, 20)      centres (15, 25) -> (75, 25)
    AnimationObject& square = addSquare(10, 10, 20);
    square.record.motionKind = kLinerMotion;
    square.record.motionEndFrame = 10;
    square.record.endX = 70;
    struct Row {
        int frame;
        int centreX;
    };
    for (const Row& row : {Row{0, 15}, Row{5, 45}, Row{10, 75}, Row{15, 75}}) {
        const QImage frame = render(row.frame);
        ASSERT_EQ(frame.size(), QSize(100, 60));
        EXPECT_EQ(frame.pixel(row.centreX, 25), kRed) << "frame " << row.frame;
        EXPECT_EQ(frame.pixel(row.centreX - 3, 22), kRed) << "frame " << row.frame;
        EXPECT_EQ(frame.pixel(row.centreX + 8, 25), kWhite) << "frame " << row.frame;
        EXPECT_EQ(frame.pixel(row.centreX, 33), kWhite) << "frame " << row.frame;
    }
}

TEST_F(FrameRendererTest, AQuarterTurnStandsAWideBarUpright) {
    AnimationObject& bar = addSquare(30, 35, 28, kRed, 4); // 30 x 4, centre (50, 30)
    bar.record.startAngle = 90;
    const QImage frame = render(0);
    EXPECT_EQ(frame.pixel(50, 30 - 12), kRed);
    EXPECT_EQ(frame.pixel(50, 30 + 12), kRed);
    EXPECT_EQ(frame.pixel(50 - 12, 30), kWhite);
    EXPECT_EQ(frame.pixel(50 + 12, 30), kWhite);
}

TEST_F(FrameRendererTest, HalfOpacityBlendsOverTheWhiteStage) {
    AnimationObject& square = addSquare(10, 10, 10);
    square.record.startOpacity = 128;
    const QImage frame = render(0);
    EXPECT_TRUE(near(frame.pixel(15, 15), qRgb(255, 127, 127))) << std::hex << frame.pixel(15, 15);
}

TEST_F(FrameRendererTest, TrailDrawsFiveCopiesAheadWithRisingAlpha) {
    // Heading straight up (angle 0, offset 0): copies 10 px apart above the centre (50, 55).
    AnimationObject& square = addSquare(4, 48, 53);
    square.record.trailFlag = 1;
    square.record.startOpacity = 10; // the trail ignores the object's opacity
    const QImage frame = render(0);
    EXPECT_EQ(frame.pixel(50, 55), kWhite);            // nothing at the centre itself
    const int expectedGreen[] = {183, 138, 92, 46, 0}; // 255 x (1 - 0.28, 0.46, ... 1.0)
    for (int k = 1; k <= 5; ++k) {
        const QRgb pixel = frame.pixel(50, 55 - 10 * k);
        EXPECT_EQ(qRed(pixel), 255) << "copy " << k;
        EXPECT_NEAR(qGreen(pixel), expectedGreen[k - 1], 3) << "copy " << k;
    }
}

TEST_F(FrameRendererTest, HiddenLayerDrawsNothingButItsHitRegionFollows) {
    AnimationObject& square = addSquare(10, 10, 10);
    editor.project().layerVisible[0] = 0;
    QImage frame = render(0, false);
    EXPECT_EQ(frame.pixel(15, 15), kWhite);
    ASSERT_TRUE(hitRegion(0).has_value());
    EXPECT_TRUE(hitRegion(0)->containsPoint(QPointF(15, 15), Qt::OddEvenFill));
    EXPECT_FALSE(hitRegion(1).has_value()); // no such object

    square.record.startX = 60;
    square.record.startScale = 2; // 20 x 20 from (60, 10)
    canvas.setZoom(2);
    frame = render(0, false);
    EXPECT_TRUE(hitRegion(0)->containsPoint(QPointF(2 * 78, 2 * 28), Qt::OddEvenFill));
    EXPECT_FALSE(hitRegion(0)->containsPoint(QPointF(2 * 15, 2 * 15), Qt::OddEvenFill));
}

TEST_F(FrameRendererTest, HandlesShowOnlyForTheSelectedObjectInEditView) {
    addSquare(40, 20, 10, kGreen);
    const QRgb handle = FrameRenderer::kHandleFill & 0xFFFFFF;
    auto hasHandleColour = [&](const QImage& frame) {
        // Handle 0 lies in the box's top-left corner: (20..28, 10..18) of (20..60, 10..50).
        return (frame.pixel(24, 14) & 0xFFFFFF) == handle;
    };
    canvas.setEditView(true);
    EXPECT_TRUE(hasHandleColour(render(0, false)));
    EXPECT_EQ(canvas.selection(editor.document().lock()).position, QPoint(20, 10));
    canvas.setEditView(false);
    EXPECT_FALSE(hasHandleColour(render(0, false)));
    canvas.setEditView(true);
    editor.project().clearObjectSelection();
    EXPECT_FALSE(hasHandleColour(render(0, false)));
}

TEST_F(FrameRendererTest, ViewBufferHasTheOutlineAndGreySurroundButExportsDoNot) {
    canvas.setClientSize(QSize(150, 70));
    const QImage view = render(0, false);
    EXPECT_EQ(view.size(), QSize(150, 80)); // max(stage + 20, client) each way
    EXPECT_EQ(view.pixel(50, 30), kWhite);
    EXPECT_EQ(view.pixel(101, 30), FrameRenderer::kOutline);
    EXPECT_EQ(view.pixel(50, 61), FrameRenderer::kOutline);
    EXPECT_EQ(view.pixel(102, 20) & 0xFFFFFF, FrameRenderer::kSurround & 0xFFFFFF);
    EXPECT_EQ(view.pixel(102, 62), FrameRenderer::kOutline); // corner resize handle
    EXPECT_EQ(view.pixel(102, 30), FrameRenderer::kOutline); // right edge resize handle
    const QImage exported = render(0, true);
    EXPECT_EQ(exported.size(), QSize(100, 60));
    EXPECT_EQ(exported.pixel(99, 59), kWhite);
}

TEST_F(FrameRendererTest, TextObjectsDrawInTheirBoxUnlessTheyCarryTheTrailFlag) {
    AnimationObject text;
    text.setText("HH");
    text.record.textStyle = 1;
    text.record.textColor = 0x0000FF; // red
    text.record.secondTextColor = 0x0000FF;
    text.record.font.height = -30;
    std::strcpy(text.record.font.faceName, "DejaVu Sans");
    editor.addTextObject(text, FontTextMeasurer());
    AnimationObject& added = editor.project().objects[0];
    auto inkInside = [&](const QImage& frame) {
        int ink = 0, outside = 0;
        const QRectF box(added.record.startX, added.record.startY, added.record.width,
                         added.record.height);
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (frame.pixel(x, y) != kWhite)
                    (box.adjusted(-1, -1, 1, 1).contains(x, y) ? ink : outside) += 1;
        EXPECT_EQ(outside, 0);
        return ink;
    };
    EXPECT_GT(inkInside(render(0)), 50);
    added.record.trailFlag = 1;
    EXPECT_EQ(inkInside(render(0)), 0);
}

class BackgroundTest : public FrameRendererTest {
protected:
    // A 20 x 10 picture, blue on the left half and green on the right.
    void useBackground(std::int32_t placement) {
        QImage picture = solid(20, 10, kBlue);
        for (int y = 0; y < 10; ++y)
            for (int x = 10; x < 20; ++x)
                picture.setPixel(x, y, kGreen);
        const QString path = dir.filePath("background.png");
        ASSERT_TRUE(picture.save(path));
        ProjectHeader& h = editor.project().header;
        std::strncpy(h.backgroundPicture, path.toLocal8Bit().constData(), 259);
        h.placement = placement;
        canvas.loadBackgroundPicture();
    }
    QTemporaryDir dir;
};

TEST_F(BackgroundTest, CentredKeepsItsNaturalSizeAtAnyZoom) {
    useBackground(kPlacementCentred);
    QImage frame = render(0);
    EXPECT_EQ(frame.pixel(45, 30), kBlue); // picture at (40, 25)..(60, 35)
    EXPECT_EQ(frame.pixel(55, 30), kGreen);
    EXPECT_EQ(frame.pixel(38, 30), kWhite);
    canvas.setZoom(2); // at ((200 - 40) / 2, (120 - 20) / 2) = (80, 50), still 20 x 10
    frame = render(0);
    EXPECT_EQ(frame.size(), QSize(200, 120));
    EXPECT_EQ(frame.pixel(85, 55), kBlue);
    EXPECT_EQ(frame.pixel(95, 59), kGreen);
    EXPECT_EQ(frame.pixel(101, 55), kWhite);
    EXPECT_EQ(frame.pixel(85, 61), kWhite);
}

TEST_F(BackgroundTest, TiledRepeatsFromTheTopLeftCornerAtNaturalSize) {
    useBackground(kPlacementTiled);
    for (float zoom : {1.0f, 2.0f}) {
        canvas.setZoom(zoom);
        const QImage frame = render(0);
        EXPECT_EQ(frame.pixel(5, 5), kBlue) << zoom;
        EXPECT_EQ(frame.pixel(15, 5), kGreen) << zoom;
        EXPECT_EQ(frame.pixel(25, 15), kBlue) << zoom;
        EXPECT_EQ(frame.pixel(frame.width() - 5, frame.height() - 5), kGreen) << zoom;
    }
}

// 35 megapixels, over Qt's own allocation limit for a decoded picture (128 MiB).
TEST_F(BackgroundTest, CameraSizedPhotoLoads) {
    QImage photo(7000, 5000, QImage::Format_RGB32);
    photo.fill(kBlue);
    const QString path = dir.filePath("photo.jpg");
    ASSERT_TRUE(photo.save(path, "jpeg", 90));
    std::strncpy(editor.project().header.backgroundPicture, path.toLocal8Bit().constData(), 259);
    editor.project().header.placement = kPlacementStretched;
    canvas.loadBackgroundPicture();
    const QImage frame = render(0);
    for (const QPoint p : {QPoint(2, 2), QPoint(frame.width() - 3, frame.height() - 3)}) {
        const QColor c = QColor::fromRgb(frame.pixel(p));
        EXPECT_LE(std::abs(c.blue() - qBlue(kBlue)) + std::abs(c.red() - qRed(kBlue)), 6);
    }
}

TEST_F(BackgroundTest, StretchedFillsTheZoomedStage) {
    useBackground(kPlacementStretched);
    for (float zoom : {1.0f, 2.0f}) {
        canvas.setZoom(zoom);
        const QImage frame = render(0, false);
        EXPECT_EQ(frame.pixel(static_cast<int>(10 * zoom), static_cast<int>(30 * zoom)), kBlue);
        EXPECT_EQ(frame.pixel(static_cast<int>(90 * zoom), static_cast<int>(30 * zoom)), kGreen);
        EXPECT_EQ(frame.pixel(static_cast<int>(100 * zoom) + 5, 10) & 0xFFFFFF,
                  FrameRenderer::kSurround & 0xFFFFFF);
    }
}

} // namespace
