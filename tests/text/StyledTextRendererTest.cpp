#include "text/StyledTextRenderer.h"

#include "tests/text/PaintRecorder.h"
#include "tests/text/TextTestSupport.h"
#include "text/FontTextMeasurer.h"
#include "text/TextStyleColours.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

namespace {

void record(PaintRecorder& recorder, const StyledText& request) {
    QPainter painter(&recorder);
    StyledTextRenderer::draw(painter, request);
    painter.end();
}

int maxAlpha(const QImage& image) {
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            most = std::max(most, qAlpha(image.pixel(x, y)));
    return most;
}

// A bold or regular reference path of `text` at `em` pixels, drawn opaque.
QImage referencePath(const QString& text, int em, bool bold) {
    QFont font(kTestFace);
    font.setPixelSize(em);
    font.setBold(bold);
    QPainterPath path;
    path.addText(QPointF(20, 20 + em), font, text);
    const QRect bounds = path.boundingRect().toAlignedRect();
    QImage image(bounds.right() + 20, bounds.bottom() + 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, Qt::black);
    return image;
}

} // namespace

// Every colour a style builds carries the opacity as alpha, the glow pictures too; style 3's
// fixed grey outline is no exception.
TEST(StyledTextRendererTest, OpacityIsTheAlphaOfEveryStyleColour) {
    const LogFontA font = testFont(48);
    struct Row {
        int style;
        int glowCeiling; // highest alpha a glow picture may reach at opacity 128
    };
    // Style 8's glow strokes over its own fill: two layers of alpha 128 compose to 192.
    const Row rows[] = {{1, 0}, {2, 128}, {3, 0}, {4, 0}, {5, 128}, {6, 0}, {7, 128}, {8, 192}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.style);
        for (int opacity : {255, 128}) {
            PaintRecorder drawn;
            record(drawn, styledText(row.style, "Text", font, opacity));
            EXPECT_FALSE(drawn.colours.empty() && drawn.pictures.empty());
            for (const QColor& colour : drawn.colours)
                EXPECT_EQ(colour.alpha(), opacity) << qPrintable(colour.name(QColor::HexArgb));
            EXPECT_EQ(drawn.pictures.size(), row.glowCeiling ? 1u : 0u);
            for (const PaintRecorder::Picture& picture : drawn.pictures) {
                const int ceiling = opacity == 255 ? 255 : row.glowCeiling;
                EXPECT_LE(maxAlpha(picture.image), ceiling);
                EXPECT_GE(maxAlpha(picture.image), ceiling / 2);
            }
        }
    }
    PaintRecorder style3;
    record(style3, styledText(3, "Text", font, 128));
    EXPECT_NE(std::find(style3.colours.begin(), style3.colours.end(), QColor::fromRgba(0x80A8A8A8)),
              style3.colours.end());
}

TEST(StyledTextRendererTest, FallbackIgnoresTheObjectsColoursAndOpacity) {
    for (int style : {-1, 0, 9, 1000}) {
        SCOPED_TRACE(style);
        StyledText request = styledText(style, "Text", testFont(48), 0);
        request.firstColor = 0x00FF00FF;
        request.secondColor = 0x0000FF00;
        PaintRecorder drawn;
        record(drawn, request);
        ASSERT_EQ(drawn.colours.size(), 2u);
        EXPECT_EQ(drawn.colours[0].rgba(), 0xFFD2691Eu);
        EXPECT_EQ(drawn.colours[1].rgba(), 0xFFFAEBD7u);
        EXPECT_EQ(maxAlpha(renderStyled(request)), 255);
    }
}

// The outline styles make their path in bold, whatever the weight of the logical font; styles
// 1 and 2 and the fallback follow the font's weight.
TEST(StyledTextRendererTest, OutlineStylesDrawBoldForANormalWeightFont) {
    const QSize canvas(200, 100);
    for (int style = -1; style <= 8; ++style) {
        if (style == 0) continue;
        SCOPED_TRACE(style);
        const QImage normal = renderStyled(styledText(style, "Text", testFont(48, 400)), 8, canvas);
        const QImage bold = renderStyled(styledText(style, "Text", testFont(48, 700)), 8, canvas);
        if (style == 3 || style == 4 || style == 6) {
            EXPECT_TRUE(normal == bold);
        } else if (style >= 5) {
            // The glow picture and gradient follow the measured box, which the weight widens.
            EXPECT_NEAR(coverage(bold), coverage(normal), coverage(normal) * 0.03);
        } else {
            EXPECT_GT(coverage(bold), coverage(normal) * 1.1);
        }
    }
    // Style 4 fills its path with two opaque colours: its ink is the path's, which matches the
    // bold face at em 32 and not the regular one.
    const double style4 = coverage(renderStyled(styledText(4, "Text", testFont(48, 400))));
    const double boldPath = coverage(referencePath("Text", 32, true));
    const double regularPath = coverage(referencePath("Text", 32, false));
    EXPECT_NEAR(style4, boldPath, boldPath * 0.03);
    EXPECT_LT(regularPath, boldPath * 0.9);
}

// Em size of the outline styles: height x 27 / 40, truncated: 27 for height 40, 32 for 48.
TEST(StyledTextRendererTest, OutlineEmSizeIsTwentySevenFortiethsOfTheHeight) {
    const QString text = "HHHHHHHHHHHHHHHH";
    const struct {
        int height;
        int em;
    } rows[] = {{40, 27}, {48, 32}, {-48, 32}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.height);
        const QImage drawn =
            renderStyled(styledText(4, text.toStdString(), testFont(row.height, 400)));
        const int width = inkBounds(drawn, 128).width();
        EXPECT_NEAR(width, inkBounds(referencePath(text, row.em, true), 128).width(), 1);
        EXPECT_GT(std::abs(width - inkBounds(referencePath(text, row.em + 1, true), 128).width()),
                  3);
        EXPECT_GT(std::abs(width - inkBounds(referencePath(text, row.em - 1, true), 128).width()),
                  3);
    }
}

TEST(StyledTextRendererTest, GlowStylesAreSofterThanStyle1) {
    const LogFontA font = testFont(48);
    const int style1 = partlyTransparentPixels(renderStyled(styledText(1, "Text", font)));
    for (int style : {2, 5, 7, 8}) {
        SCOPED_TRACE(style);
        EXPECT_GT(partlyTransparentPixels(renderStyled(styledText(style, "Text", font))),
                  style1 * 2);
    }
}

// Style 8 is only the half-resolution rendering blown up: no edge goes from clear to solid
// between two neighbouring pixels, where a sharp style has many such steps.
TEST(StyledTextRendererTest, Style8DrawsNothingSharp) {
    const LogFontA font = testFont(48);
    const QImage soft = renderStyled(styledText(8, "Text", font));
    EXPECT_GT(coverage(soft), 100);
    EXPECT_EQ(sharpSteps(soft, 160), 0);
    EXPECT_GT(sharpSteps(renderStyled(styledText(1, "Text", font)), 160), 20);
    EXPECT_GT(sharpSteps(renderStyled(styledText(4, "Text", font)), 160), 20);
}

TEST(StyledTextRendererTest, HatchStylesShowBothColoursInTheirPattern) {
    for (int style : {3, 4, 6}) {
        SCOPED_TRACE(style);
        const StyledText request = styledText(style, "Hatch", testFont(120));
        const QImage drawn = renderStyled(request);
        EXPECT_GT(countPixels(drawn, TextStyleColours::toArgb(request.firstColor, 255)), 50);
        EXPECT_GT(countPixels(drawn, TextStyleColours::toArgb(request.secondColor, 255)), 10);
    }
}

// Style 5 traces its outline segment by segment: segments running up or left (neither right
// nor down) in the second colour, all others in the first.
TEST(StyledTextRendererTest, Style5OutlineColoursEdgesByDirection) {
    const StyledText request = styledText(5, "Text", testFont(48));
    const QColor first = TextStyleColours::toColor(request.firstColor, 255);
    const QColor second = TextStyleColours::toColor(request.secondColor, 255);
    PaintRecorder drawn;
    record(drawn, request);
    int upLeft = 0;
    int other = 0;
    for (const PaintRecorder::Line& line : drawn.lines) {
        EXPECT_EQ(line.width, 0.5);
        const bool runsUpLeft = line.line.dx() <= 0 && line.line.dy() <= 0;
        EXPECT_EQ(line.colour, runsUpLeft ? second : first);
        (runsUpLeft ? upLeft : other)++;
    }
    EXPECT_GT(upLeft, 10);
    EXPECT_GT(other, 10);
}

TEST(StyledTextRendererTest, EmptyTextDrawsNothing) {
    for (int style = -1; style <= 8; ++style) {
        SCOPED_TRACE(style);
        const StyledText request = styledText(style, "", testFont(48));
        EXPECT_EQ(request.box.size(), QSize(0, 0));
        PaintRecorder drawn;
        record(drawn, request);
        EXPECT_EQ(drawn.shapes + drawn.textItems + int(drawn.pictures.size()), 0);
        EXPECT_EQ(maxAlpha(renderStyled(request)), 0);
    }
}

//   preview transform of a 100 x 40 text, angle 90, scale 2, box at (10, 20):
//   centre (50, 20) -> origin -> turned, scaled -> (10 + 100, 20 + 40)
//   corner (0, 0) -> (-50, -20) -> turned (20, -50) -> scaled (40, -100) -> (150, -40)
TEST(StyledTextRendererTest, PreviewTransformCentresTurnsAndScales) {
    const QTransform m = StyledTextRenderer::previewTransform(QSize(100, 40), 90, 2, {10, 20});
    const QPointF centre = m.map(QPointF(50, 20));
    const QPointF corner = m.map(QPointF(0, 0));
    EXPECT_NEAR(centre.x(), 110, 1e-9);
    EXPECT_NEAR(centre.y(), 60, 1e-9);
    EXPECT_NEAR(corner.x(), 150, 1e-9);
    EXPECT_NEAR(corner.y(), -40, 1e-9);
}

// The style list's preview at angle 0 and scale 1 is the plain drawing moved to its box, and
// it leaves the painter's transform as it found it.
TEST(StyledTextRendererTest, TransformedDrawAtScaleOneIsTheDrawingMovedToTheBox) {
    for (int style : {1, 3, 5, 8}) {
        SCOPED_TRACE(style);
        StyledText request = styledText(style, "Text", testFont(40));
        QImage plain(240, 120, QImage::Format_ARGB32_Premultiplied);
        plain.fill(Qt::transparent);
        QImage preview = plain;
        // The preview centres with integer halves and moves back with exact halves: an odd
        // size leaves the text half a pixel further right or down.
        const QSize size = request.box.size();
        QPainter painter(&plain);
        painter.translate(30 + size.width() * 0.5 - size.width() / 2,
                          20 + size.height() * 0.5 - size.height() / 2);
        StyledTextRenderer::draw(painter, request);
        painter.end();
        painter.begin(&preview);
        request.box.moveTo(30, 20);
        StyledTextRenderer::drawTransformed(painter, request, 0, 1);
        EXPECT_TRUE(painter.worldTransform().isIdentity());
        painter.end();
        EXPECT_TRUE(plain == preview);
    }
    // Doubled scale doubles the ink.
    StyledText request = styledText(4, "Text", testFont(40));
    QImage image(400, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    StyledTextRenderer::drawTransformed(painter, request, 0, 2);
    painter.end();
    EXPECT_NEAR(inkBounds(image, 128).width(), 2 * inkBounds(renderStyled(request), 128).width(),
                3);
}
