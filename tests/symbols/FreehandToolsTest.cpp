// Flood fill, eraser, pencil, brush and colour picker on small pictures.
#include "symbols/CanvasRenderer.h"
#include "symbols/Checkerboard.h"
#include "document/ColorRef.h"
#include "symbols/FloodFill.h"
#include "tests/symbols/CanvasTestSupport.h"

#include <array>
#include <functional>
#include <set>

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

// Every pixel of `picture` against `expected(x, y)`, reporting the first few that differ.
void expectPixels(const QImage& picture, const std::function<QRgb(int, int)>& expected) {
    int wrong = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != expected(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << hex(picture.pixel(x, y))
                              << ", expected " << hex(expected(x, y));
}

TEST(FloodFillTest, ToleranceHoldsAtItsBoundaryInEveryColumn) {
    // Eleven columns: two blocks of four pixels and a tail of three, done one by one. Row 0
    // holds the clicked colour; every other row one colour that differs from it by 4 or 5 in
    // one channel (blue, green, red or alpha). Within 4 is replaced, keeping the clicked alpha.
    constexpr int kWidth = 11;
    const QRgb clicked = qRgba(140, 120, 100, 200);
    const QRgb replaced = qRgba(0, 0, 255, 200); // blue, with the clicked alpha
    struct Row {
        int shift; // the channel: 0 blue, 8 green, 16 red, 24 alpha
        int delta;
    };
    std::vector<Row> rows;
    for (int shift : {0, 8, 16, 24})
        for (int delta : {-5, -4, 4, 5})
            rows.push_back({shift, delta});
    QImage picture(kWidth, 1 + int(rows.size()), QImage::Format_ARGB32);
    std::vector<QRgb> colours{clicked};
    for (const Row& row : rows) {
        const int channel = int((clicked >> row.shift) & 0xFF) + row.delta;
        colours.push_back((clicked & ~(0xFFu << row.shift)) | QRgb(channel) << row.shift);
    }
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.setPixel(x, y, colours[std::size_t(y)]);
    FloodFill::apply(picture, QPoint(0, 0), kBlueRef);
    expectPixels(picture, [&](int, int y) {
        const bool within = y == 0 || std::abs(rows[std::size_t(y - 1)].delta) < 5;
        return within ? replaced : colours[std::size_t(y)];
    });
}

TEST(FloodFillTest, ANearlyTransparentClickAtTheBoundaryInEveryColumn) {
    // Below alpha 5 the click fills exactly the pixels of alpha 0 (made opaque); at alpha 5
    // it fills those within 4 of it (alpha 1 to 9), keeping alpha 5.
    constexpr int kWidth = 7; // a block of four and a tail of three
    const int alphas[] = {0, 1, 9, 10};
    struct Row {
        int clickedAlpha;
        std::array<bool, 4> replaced; // for the rows of alpha 0, 1, 9, 10
        int replacedAlpha;
    };
    for (const Row& row :
         {Row{4, {true, false, false, false}, 255}, Row{5, {false, true, true, false}, 5}}) {
        SCOPED_TRACE(row.clickedAlpha);
        QImage picture(kWidth, 1 + int(std::size(alphas)), QImage::Format_ARGB32);
        auto colour = [](int alpha) { return qRgba(70, 60, 50, alpha); };
        for (int x = 0; x < kWidth; ++x) {
            picture.setPixel(x, 0, colour(row.clickedAlpha));
            for (std::size_t k = 0; k < std::size(alphas); ++k)
                picture.setPixel(x, int(k) + 1, colour(alphas[k]));
        }
        FloodFill::apply(picture, QPoint(0, 0), kBlueRef);
        const QRgb filled = qRgba(0, 0, 255, row.replacedAlpha);
        expectPixels(picture, [&](int, int y) {
            if (y == 0)
                return row.clickedAlpha < 5 ? colour(row.clickedAlpha) : filled;
            return row.replaced[std::size_t(y - 1)] ? filled : colour(alphas[y - 1]);
        });
    }
}

TEST(FreehandToolsTest, EraserKeepsTheHalfCoveredEdgePixelsOfAStroke) {
    // A square-capped stroke 3 pixels wide along y = 10 from x = 4 to x = 30 covers
    // y 8.5 .. 11.5 and x 2.5 .. 31.5: rows 9 and 10 of columns 3 to 30 wholly (mask blue 0,
    // erased), rows 8 and 11 and columns 2 and 31 half (mask blue about 128: kept).
    const QRgb ground = qRgba(10, 20, 30, 255);
    TestCanvas t(QSize(40, 20), ground);
    t.use(PaintTool::Eraser, 3, PenShape::Square);
    t.stroke({{4, 10}, {30, 10}});
    expectPixels(t.canvas.picture(), [&](int x, int y) {
        const bool covered = (y == 9 || y == 10) && x >= 3 && x <= 30;
        return covered ? ground & 0x00FFFFFF : ground; // erased: alpha 0, colour kept
    });
}

TEST(FreehandToolsTest, EraserClearsThePixelsWhoseMaskIsBelowOneHundred) {
    // The mask is the stroke in opaque black on white, drawn with the pen (5 wide, round
    // caps); a pixel is erased exactly when its mask blue is below 100 (cover above about
    // 61 %). This slanted stroke has edge pixels of mask blue 99 and 100, either side of it.
    const QPoint from(2, 2);
    const QPoint to(28, 8);
    const QRgb ground = qRgba(200, 150, 100, 255);
    TestCanvas t(QSize(40, 20), ground);
    t.use(PaintTool::Eraser, 5, PenShape::Round);
    t.stroke({from, to});

    QImage mask(t.canvas.size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(from, to);
    }
    std::set<int> blues;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            blues.insert(qBlue(mask.pixel(x, y)));
    ASSERT_TRUE(blues.count(99) && blues.count(100)) << "the stroke no longer reaches the edge";
    expectPixels(t.canvas.picture(), [&](int x, int y) {
        return qBlue(mask.pixel(x, y)) < 100 ? ground & 0x00FFFFFF : ground;
    });
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
