// The canvas window and the tool palette driven with QTest on the offscreen platform.
#include "controls/CTavColorPicker.h"
#include "symbols/ui/PaintCanvasView.h"
#include "symbols/ui/PickerColorChooser.h"
#include "symbols/ui/ToolPalette.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kBlue = 0xFF0000FF;

struct ViewFixture {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    PaintCanvasView view{folders};

    explicit ViewFixture(QSize picture, QSize window) {
        QImage frame(picture, QImage::Format_ARGB32);
        frame.fill(Qt::transparent);
        view.canvas().setPicture(frame);
        view.resize(window);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void use(PaintTool tool, FillType fill = FillType::Solid) {
        view.applyToolChange(ToolSettings{5, PenShape::Square, tool, fill, 0xFF0000});
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&view, (from + to) / 2);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    }
};

TEST(PaintCanvasViewTest, DrawsAtZoomOneWhereTheMouseWent) {
    ViewFixture f(QSize(120, 80), QSize(220, 160));
    QSignalSpy changed(&f.view, &PaintCanvasView::canvasChanged);
    f.use(PaintTool::FilledRectangle);
    f.drag({10, 20}, {40, 50});
    EXPECT_EQ(changed.count(), 1);
    const QImage& picture = f.view.canvas().picture();
    EXPECT_EQ(picture.pixel(10, 20), kBlue);
    EXPECT_EQ(picture.pixel(39, 49), kBlue);
    EXPECT_EQ(qAlpha(picture.pixel(40, 50)), 0);
    // The window shows it, grey beyond the picture.
    const QImage shown = f.view.grab().toImage();
    EXPECT_EQ(shown.pixel(25, 35), kBlue);
    EXPECT_EQ(shown.pixel(150, 40), 0xFFC8C8C8u);

    QTest::mousePress(&f.view, Qt::LeftButton, {},
                      f.view.clientRect().bottomRight() + QPoint(2, 2));
    EXPECT_EQ(changed.count(), 1); // on the scroll bars' corner: not the canvas
}

TEST(PaintCanvasViewTest, MapsThroughZoomAndScrolling) {
    ViewFixture f(QSize(300, 200), QSize(220, 180));
    f.view.canvas().zoomIn();
    f.view.canvas().zoomIn();
    f.view.canvas().zoomIn();
    f.view.canvas().zoomIn();
    ASSERT_EQ(f.view.canvas().viewport().zoom(), 2.0f);
    QScrollBar* horizontal = f.view.horizontalBar();
    QScrollBar* vertical = f.view.verticalBar();
    EXPECT_EQ(horizontal->maximum(), 600 - f.view.clientRect().width());
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd); // one pixel
    horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);   // thirty pixels
    vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);   // one pixel down
    EXPECT_EQ(f.view.canvas().viewport().horizontalOffset(), 31);
    EXPECT_EQ(f.view.canvas().viewport().verticalOffset(), 1);
    vertical->setValue(40);
    EXPECT_EQ(f.view.canvas().viewport().verticalOffset(), 40);

    // Client 20,20 - 60,40 is canvas (51 / 2, 60 / 2) - (91 / 2, 80 / 2) = 25,30 - 45,40.
    f.use(PaintTool::FilledRectangle);
    f.drag({20, 20}, {60, 40});
    const QImage& picture = f.view.canvas().picture();
    EXPECT_EQ(picture.pixel(25, 30), kBlue);
    EXPECT_EQ(picture.pixel(44, 39), kBlue);
    EXPECT_EQ(qAlpha(picture.pixel(24, 30)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(45, 39)), 0);
    // Canvas pixel 30,35 shows at client 30 * 2 - 31, 35 * 2 - 40, two screen pixels wide.
    const QImage shown = f.view.grab().toImage();
    EXPECT_EQ(shown.pixel(29, 30), kBlue);
    EXPECT_EQ(shown.pixel(30, 31), kBlue);

    // One wheel notch towards the user scrolls 120 pixels down; with the horizontal bar
    // focused it scrolls that bar.
    QWheelEvent down(QPointF(50, 50), f.view.mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&f.view, &down);
    EXPECT_EQ(f.view.canvas().viewport().verticalOffset(), 160);
    EXPECT_EQ(vertical->value(), 160);
    horizontal->setFocus();
    QApplication::sendEvent(&f.view, &down);
    EXPECT_EQ(f.view.canvas().viewport().horizontalOffset(), 151);
    EXPECT_EQ(f.view.canvas().viewport().verticalOffset(), 160);
}

TEST(PaintCanvasViewTest, PolygonClosesOnRightClickAndFloatingSelectionFollowsArrows) {
    ViewFixture f(QSize(100, 100), QSize(200, 200));
    QSignalSpy changed(&f.view, &PaintCanvasView::canvasChanged);
    f.use(PaintTool::Polygon);
    QTest::mouseClick(&f.view, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&f.view, Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseClick(&f.view, Qt::LeftButton, {}, QPoint(35, 50));
    EXPECT_EQ(changed.count(), 0);
    QTest::mouseClick(&f.view, Qt::RightButton, {}, QPoint(90, 90));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(f.view.canvas().picture().pixel(35, 25), kBlue);

    f.use(PaintTool::Selection);
    f.drag({30, 20}, {40, 30});
    f.view.canvas().copy();
    f.view.canvas().paste();
    ASSERT_TRUE(f.view.canvas().selection().hasFloating());
    QTest::keyClick(&f.view, Qt::Key_Right);
    QTest::keyClick(&f.view, Qt::Key_Down);
    EXPECT_EQ(f.view.canvas().selection().floatingRect(), QRect(1, 1, 10, 10));
    QTest::mouseMove(&f.view, QPoint(5, 5));
    EXPECT_EQ(f.view.cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(&f.view, QPoint(50, 50));
    EXPECT_EQ(f.view.cursor().shape(), Qt::BitmapCursor);
}

TEST(ToolPaletteTest, ButtonsChangeTheCanvasTool) {
    QTemporaryDir root;
    PaintCanvasView view{ProgramFolders(root.path().toStdString())};
    ToolPalette palette;
    palette.show();
    // The editor's wiring of UM_TOOL_CHANGED and UM_COLOR_PICKED.
    QObject::connect(&palette, &ToolPalette::toolChanged,
                     [&] { view.applyToolChange(palette.settings()); });
    QObject::connect(&view, &PaintCanvasView::colorPicked,
                     [&](quint32 color) { palette.setColor(color); });
    QSignalSpy changed(&palette, &ToolPalette::toolChanged);
    EXPECT_EQ(palette.settings(), ToolSettings()); // Selection, size 5 round, Solid

    struct Row {
        QToolButton* button;
        ToolSettings expected;
        QString tooltip;
        QPoint at;
    };
    const Row rows[] = {
        {palette.toolButton(PaintTool::Brush),
         {5, PenShape::Round, PaintTool::Brush},
         "Brush",
         {0, 22}},
        {palette.toolButton(PaintTool::Polygon),
         {5, PenShape::Round, PaintTool::Polygon},
         "3D Frame Tool",
         {66, 22}},
        {palette.sizeButton(7),
         {20, PenShape::Square, PaintTool::Polygon},
         "Rectangle (extra large",
         {66, 94}},
        {palette.sizeButton(2),
         {10, PenShape::Round, PaintTool::Polygon},
         "Circle (large)",
         {44, 72}},
        {palette.fillButton(FillType::HorizontalGradient),
         {10, PenShape::Round, PaintTool::Polygon, FillType::HorizontalGradient},
         "Horizonal gradient",
         {22, 122}},
        {palette.toolButton(PaintTool::FilledEllipse),
         {10, PenShape::Round, PaintTool::FilledEllipse, FillType::HorizontalGradient},
         "Filled Ellipse",
         {66, 44}},
    };
    int clicks = 0;
    for (const Row& row : rows) {
        EXPECT_EQ(row.button->toolTip(), row.tooltip);
        EXPECT_EQ(row.button->geometry(), QRect(row.at, QSize(22, 22)))
            << row.tooltip.toStdString();
        QTest::mouseClick(row.button, Qt::LeftButton);
        EXPECT_EQ(changed.count(), ++clicks);
        EXPECT_TRUE(row.button->isChecked());
        EXPECT_EQ(palette.settings(), row.expected) << row.tooltip.toStdString();
        EXPECT_EQ(view.canvas().settings(), row.expected) << row.tooltip.toStdString();
    }
    EXPECT_FALSE(palette.toolButton(PaintTool::Brush)->isChecked()); // radio within the block
    EXPECT_TRUE(palette.sizeButton(2)->isChecked());

    auto* chooser = qobject_cast<PickerColorChooser*>(palette.colorChooser());
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->geometry().topLeft(), QPoint(0, 150));
    // A colour chosen in the picker's popup becomes the canvas colour; a cancelled popup
    // changes nothing.
    auto popupEnds = [&](ColorPopup::Outcome outcome, quint32 colour) {
        QTest::mouseClick(chooser->picker(), Qt::LeftButton);
        ColorPopup* popup = chooser->picker()->popup();
        ASSERT_NE(popup, nullptr);
        emit popup->ended(outcome, colour);
    };
    popupEnds(ColorPopup::Outcome::Ok, 0x0080FF);
    EXPECT_EQ(changed.count(), ++clicks);
    EXPECT_EQ(view.canvas().settings().color, 0x0080FFu);
    popupEnds(ColorPopup::Outcome::Cancel, 0x0080FF);
    EXPECT_EQ(changed.count(), clicks);
    EXPECT_EQ(chooser->color(), 0x0080FFu);

    // The colour picker's colour reaches the chooser without another tool change.
    QImage frame(10, 10, QImage::Format_ARGB32);
    frame.fill(qRgba(10, 20, 30, 255));
    view.canvas().setPicture(frame);
    view.show();
    QTest::mouseClick(palette.toolButton(PaintTool::ColorPicker), Qt::LeftButton);
    ++clicks;
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(palette.settings().color, 0x1E140Au);
    EXPECT_EQ(chooser->color(), 0x1E140Au);
    EXPECT_EQ(changed.count(), clicks);
}

} // namespace
