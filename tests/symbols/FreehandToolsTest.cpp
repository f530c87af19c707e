// Flood fill, eraser, pencil, brush and colour picker on small pictures.
#include "symbols/CanvasRenderer.h"
#include "symbols/Checkerboard.h"
#include "document/ColorRef.h"
#include "symbols/FloodFill.h"
#include "tests/symbols/CanvasTestSupport.h"

namespace {

constexpr std::uint32_t kBlueRef = 0xFF0000; // 0x00BBGGRR: pure blue

TEST(FloodFillTest, TransparentClickFillsEveryFullyTransparentPixel) {
    // Two transparent regions split by an opaque column; alpha 0 pixels with colour bytes;
    // one nearly transparent pixel (alpha 3) that is not "fully transparent".
    QImage picture(7, 3, QImage::Format_ARGB32);
    picture.fill(qRgba(9, 9, 9, 255));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 1, qRgba(50, 60, 70, 0));
    picture.setPixel(5, 2, qRgba(0, 0, 0, 0));
    picture.setPixel(6, 0, qRgba(1, 2, 3, 3));
    for (const QPoint click : {QPoint(0, 0), QPoint(6, 0)}) { // A0 = 0 and A0 = 3 (< 5)
        QImage filled = picture;
        EXPECT_EQ(FloodFill::apply(filled, click, kBlueRef), 3);
        EXPECT_EQ(filled.pixel(0, 0), 0xFF0000FFu);
        EXPECT_EQ(filled.pixel(1, 1), 0xFF0000FFu);
        EXPECT_EQ(filled.pixel(5, 2), 0xFF0000FFu); // not connected to the click
        EXPECT_EQ(filled.pixel(6, 0), qRgba(1, 2, 3, 3));
        EXPECT_EQ(filled.pixel(3, 1), qRgba(9, 9, 9, 255));
    }
}

TEST(FloodFillTest, ReplacesColoursWithinFourInEveryChannel) {
    struct Row {
        QRgb pixel;
        bool replaced;
    };
    const QRgb red = qRgba(200, 60, 60, 255);
    const Row rows[] = {
        {red, true},                     // a separate region of the same colour
        {qRgba(204, 56, 64, 251), true}, // +-4 in every channel
        {qRgba(196, 64, 56, 251), true},
        {qRgba(205, 60, 60, 255), false}, // red +5
        {qRgba(195, 60, 60, 255), false}, // red -5
        {qRgba(200, 65, 60, 255), false}, // green +5
        {qRgba(200, 60, 55, 255), false}, // blue -5
        {qRgba(200, 60, 60, 250), false}, // alpha -5
        {qRgba(0, 0, 0, 0), false},       // transparent
    };
    QImage picture(int(std::size(rows)) + 1, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, red);
    for (int i = 0; i < int(std::size(rows)); ++i)
        picture.setPixel(i + 1, 0, rows[i].pixel);
    FloodFill::apply(picture, QPoint(0, 0), kBlueRef);
    EXPECT_EQ(picture.pixel(0, 0), 0xFF0000FFu);
    for (int i = 0; i < int(std::size(rows)); ++i)
        EXPECT_EQ(picture.pixel(i + 1, 0), rows[i].replaced ? 0xFF0000FFu : rows[i].pixel)
            << "row " << i;
}

TEST(FloodFillTest, KeepsTheClickedAlphaAndTreatsABesideClickAsOpaqueBlack) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(10, 10, 10, 128));
    picture.setPixel(1, 0, qRgba(0, 0, 0, 255));
    picture.setPixel(2, 0, qRgba(3, 3, 3, 252));
    QImage half = picture;
    FloodFill::apply(half, QPoint(0, 0), kBlueRef);
    EXPECT_EQ(half.pixel(0, 0), qRgba(0, 0, 255, 128));
    EXPECT_EQ(half.pixel(1, 0), picture.pixel(1, 0));

    FloodFill::apply(picture, QPoint(40, 0), kBlueRef); // beside the picture
    EXPECT_EQ(picture.pixel(0, 0), qRgba(10, 10, 10, 128));
    EXPECT_EQ(picture.pixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(2, 0), 0xFF0000FFu);
}

TEST(FreehandToolsTest, EraserMakesTheStrokeTransparentAndKeepsColourBytes) {
    TestCanvas t(QSize(40, 20), qRgba(10, 20, 30, 255));
    t.use(PaintTool::Eraser, 5);
    t.stroke({{4, 10}, {20, 10}, {20, 10}, {30, 10}}); // a repeated point: skipped segment
    EXPECT_EQ(t.pixel(12, 10), qRgba(10, 20, 30, 0));
    EXPECT_EQ(t.pixel(25, 9), qRgba(10, 20, 30, 0));
    EXPECT_EQ(t.pixel(12, 16), qRgba(10, 20, 30, 255)); // beyond the pen's half width
    EXPECT_EQ(t.pixel(36, 10), qRgba(10, 20, 30, 255)); // beyond the round cap
    EXPECT_EQ(t.changes, 1);
    EXPECT_EQ(t.canvas.journal().count(), 1u);

    const QImage before = t.canvas.picture();
    t.click({15, 5}); // no segment: nothing erased, still one recorded edit
    EXPECT_EQ(t.canvas.picture(), before);
    EXPECT_EQ(t.canvas.journal().count(), 2u);
}

TEST(FreehandToolsTest, PencilDrawsSegmentsWithThePen) {
    TestCanvas t(QSize(40, 20));
    t.use(PaintTool::Pencil, 3, PenShape::Square, FillType::Solid, kBlueRef);
    t.click({10, 10});
    EXPECT_EQ(t.canvas.picture(), t.canvas.startPicture()); // a click draws no dot
    t.stroke({{5, 5}, {20, 5}, {20, 15}});
    EXPECT_EQ(t.pixel(12, 5), 0xFF0000FFu);
    EXPECT_EQ(t.pixel(20, 10), 0xFF0000FFu);
    EXPECT_EQ(t.pixel(4, 5), 0xFF0000FFu); // the cap reaches 1.5 pixels past the end
    EXPECT_EQ(t.alpha(12, 10), 0);
}

TEST(FreehandToolsTest, BrushClickPaintsNothing) {
    TestCanvas t;
    t.use(PaintTool::Brush, 5);
    t.click({10, 10});
    t.stroke({{10, 10}, {12, 10}, {14, 10}}); // two moves: no third move, nothing drawn
    EXPECT_EQ(t.canvas.picture(), t.canvas.startPicture());
    EXPECT_EQ(t.changes, 2); // each release still records the state
}

TEST(FreehandToolsTest, BrushGivesEarlyPointsMoreCoverage) {
    // Points 12 pixels apart (dabs of 5 + 5 = 10 pixels do not overlap). Every third move
    // draws all points again:
    //   points p0..p3 are drawn at moves 3, 6, 9 and 12 (4 times), p4..p6 3 times,
    //   p7..p9 twice, p10..p12 once, p13 (the 13th move) never.
    TestCanvas t(QSize(200, 20));
    t.use(PaintTool::Brush, 5, PenShape::Round, FillType::Solid, kBlueRef);
    t.canvas.pointer(PointerAction::Press, {2, 2});
    for (int i = 1; i <= 13; ++i)
        t.canvas.pointer(PointerAction::Move, {2 + 12 * i, 2});
    t.canvas.pointer(PointerAction::Release, {2 + 12 * 13, 2});
    const int draws[] = {4, 4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1, 0};
    // A pixel 3 pixels off each dab's centre, where one dab gives partial cover.
    auto cover = [&](int i) { return t.alpha(2 + 12 * i + 5 + 3, 2 + 5); };
    EXPECT_GT(cover(10), 0);
    EXPECT_LT(cover(10), 200);
    for (int i = 1; i < 14; ++i) {
        if (draws[i] == draws[i - 1])
            EXPECT_EQ(cover(i), cover(i - 1)) << "point " << i;
        else
            EXPECT_LT(cover(i), cover(i - 1)) << "point " << i;
    }
    EXPECT_EQ(cover(13), 0);
    EXPECT_EQ(qRed(t.pixel(2 + 5, 2 + 5)), 0);
    EXPECT_GE(qBlue(t.pixel(2 + 5, 2 + 5)), 250);
}

TEST(FreehandToolsTest, SquareBrushDabFadesToItsSquareEdge) {
    ToolSettings settings;
    settings.size = 15; // 20 x 20 dab
    settings.color = kBlueRef;
    settings.shape = PenShape::Square;
    const QImage square = StrokeTool::makeDab(settings);
    settings.shape = PenShape::Round;
    const QImage round = StrokeTool::makeDab(settings);
    ASSERT_EQ(square.size(), QSize(20, 20));
    EXPECT_GT(qAlpha(square.pixel(10, 10)), 220);
    EXPECT_GT(qAlpha(square.pixel(2, 2)), 10); // the corner still has cover in a square
    EXPECT_EQ(qAlpha(round.pixel(2, 2)), 0);   // but lies outside the disc
    EXPECT_EQ(qAlpha(square.pixel(5, 10)), qAlpha(square.pixel(5, 5))); // same ring
    EXPECT_LT(qAlpha(square.pixel(5, 10)), qAlpha(square.pixel(8, 10)));
}

TEST(FreehandToolsTest, ColorPickerTakesTheShownColour) {
    TestCanvas t(QSize(40, 40));
    QImage frame(40, 40, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    frame.setPixel(5, 5, qRgba(255, 128, 0, 255));
    frame.setPixel(6, 5, qRgba(0, 0, 255, 0)); // transparent: the checkerboard shows
    t.canvas.setPicture(frame);
    t.canvas.viewport().setClientSize(QSize(100, 100));
    t.use(PaintTool::ColorPicker);
    t.click({5, 5});
    t.click({6, 5});
    t.click({70, 70}); // beside the picture: the grey surround
    ASSERT_EQ(t.picked.size(), 3u);
    EXPECT_EQ(t.picked[0], 0x0080FFu); // 0x00BBGGRR
    EXPECT_EQ(t.picked[1], ColorRef::fromArgb(Checkerboard::kLight));
    EXPECT_EQ(t.picked[2], 0xC8C8C8u);
    EXPECT_EQ(t.canvas.settings().color, 0xC8C8C8u);
    EXPECT_EQ(t.changes, 0); // picking is not an edit
}

} // namespace
