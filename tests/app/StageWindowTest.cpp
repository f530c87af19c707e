// The stage, the motion panel and the guide line dialog inside the real main window, driven
// with the mouse as a user would.
#include "app/MainWindow.h"

#include "controls/AngleDial.h"
#include "controls/FlatSlider.h"
#include "stage/MotionEasing.h"
#include "stage/MotionState.h"
#include "stage/PlaybackState.h"
#include "stage/ui/GuideLineArea.h"
#include "stage/ui/GuideLineDialog.h"
#include "stage/ui/MotionPanel.h"
#include "stage/ui/StageView.h"
#include "tests/app/AppTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(AngleDialTest, AnglesGoClockwiseFromStraightUp) {
    const QPointF c(50, 50);
    struct Row {
        QPointF p;
        double radians;
    };
    const Row rows[] = {
        {{50, 10}, 0.0},         {{50, 50}, 0.0},         {{50, 90}, kPi},
        {{90, 50}, kPi / 2},     {{10, 50}, 3 * kPi / 2}, {{90, 10}, kPi / 4},
        {{90, 90}, 3 * kPi / 4}, {{10, 90}, 5 * kPi / 4}, {{10, 10}, 7 * kPi / 4},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(AngleDial::angleAt(c, row.p), row.radians, 1e-9)
            << row.p.x() << "," << row.p.y();
    EXPECT_EQ(AngleDial::degreesOf(kPi / 2), 90);
    EXPECT_EQ(AngleDial::degreesOf(7 * kPi / 4), 315);
}

class StageWindowTest : public ::testing::Test, public MainWindowHarness {
protected:
    StageWindowTest() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QImage picture(60, 40, QImage::Format_ARGB32);
        picture.fill(qRgb(30, 160, 60));
        EXPECT_TRUE(window->editor().insertLibrarySymbol(SymbolId::create(), {picture}));
        waitForDraw();
    }
    ObjectRecord record(int index = 0) {
        return window->document().lock().project().objects[std::uint32_t(index)].record;
    }
    int undoSteps() { return window->document().lock().history().count(); }
    void drag(QPoint from, QPoint to) {
        StageView& view = window->stage();
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&view, (from + to) / 2);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
        settle();
        waitForDraw();
    }
    QPoint handleCentre(int index) {
        StageCanvas& canvas = window->stage().canvas();
        auto lock = window->document().lock();
        const FrameRenderer::Selection& s = canvas.selection(lock);
        return s.handleMatrix.map(QRectF(s.handles[std::size_t(index)]).center()).toPoint();
    }
};

TEST_F(StageWindowTest, DragsMoveScaleAndRotateTheObjectOneUndoStepEach) {
    // The 60 x 40 object is centred on the 320 x 120 stage: its box is (130, 40)..(190, 80).
    int steps = undoSteps();
    drag(QPoint(160, 60), QPoint(180, 70));
    EXPECT_FLOAT_EQ(record().startX, 150.0f);
    EXPECT_FLOAT_EQ(record().startY, 50.0f);
    EXPECT_EQ(undoSteps(), ++steps);

    drag(handleCentre(4), handleCentre(4) + QPoint(30, 20)); // the bottom-right corner, outwards
    EXPECT_GT(record().startScale, 1.2f);
    EXPECT_EQ(undoSteps(), ++steps);

    drag(handleCentre(11), handleCentre(11) + QPoint(-40, 40)); // turn clockwise
    EXPECT_GT(record().startAngle, 10.0f);
    EXPECT_EQ(undoSteps(), ++steps);
    window->runCommand(CommandId::Undo);
    EXPECT_EQ(record().startAngle, 0.0f);

    drag(QPoint(5, 5), QPoint(5, 5)); // a click beside the object changes nothing
    EXPECT_EQ(undoSteps(), steps);
}

TEST_F(StageWindowTest, ASliderChangeRedrawsTheStageAndIsOneUndoStep) {
    MotionPanel& panel = window->motionPanel();
    FlatSlider* opacity = panel.slider(MotionPanelModel::kStartOpacity);
    ASSERT_TRUE(opacity && opacity->isVisible());
    const int steps = undoSteps();
    const int draws = window->stage().canvas().drawCount();
    QTest::mouseClick(opacity, Qt::LeftButton, {}, QPoint(opacity->width() / 2, 5));
    settle();
    EXPECT_NEAR(record().startOpacity, 128, 3);
    EXPECT_EQ(undoSteps(), steps + 1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->stage().canvas().drawCount() > draws; }, 3000));
}

TEST_F(StageWindowTest, ADrawnGuideLineIsWhatTheGuideLineMotionFollows) {
    MotionPanel& panel = window->motionPanel();
    std::vector<QPoint> drawn;
    QTimer::singleShot(100, [&] {
        auto* dialog = qobject_cast<GuideLineDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        GuideLineArea& area = dialog->area();
        const QPoint start(GuideLineArea::kMargin + 20, GuideLineArea::kMargin + 30);
        QTest::mousePress(&area, Qt::LeftButton, {}, start);
        for (int k = 0; k <= 12; ++k) {
            const QPoint p = start + QPoint(k * 20, (k % 3) * 5);
            QTest::mouseMove(&area, p);
            drawn.push_back(p - QPoint(GuideLineArea::kMargin, GuideLineArea::kMargin));
        }
        QTest::mouseMove(&area, start + QPoint(12 * 20, 0)); // the same as the last: not added
        QTest::mouseRelease(&area, Qt::LeftButton, {}, start + QPoint(12 * 20, 0));
        dialog->accept();
    });
    const int steps = undoSteps();
    panel.guideLineButton()->show(); // shown in the guide-line layout only
    QMetaObject::invokeMethod(panel.guideLineButton(), "click", Qt::DirectConnection);
    settle();
    ASSERT_EQ(drawn.size(), 13u);
    {
        auto lock = window->document().lock();
        const AnimationObject& object = lock.project().objects[0];
        EXPECT_EQ(object.record.motionKind, kGuideLineMotion);
        ASSERT_EQ(object.guidePoints.count(), 13u);
        EXPECT_EQ(object.record.guidePointCount, 13);
        for (std::size_t k = 0; k < drawn.size(); ++k)
            EXPECT_EQ(object.guidePoints[std::uint32_t(k)],
                      (GuidePoint{drawn[k].x(), drawn[k].y()}));
        // The motion follows the drawn line: its first point at the motion's start frame, the
        // fourth from last at its end.
        const ProjectHeader header = lock.project().header;
        const SymbolId id = lock.project().symbolIds[0];
        PlaybackState playback = PlaybackState::stored(lock.project(), lock.symbols());
        ObjectFrameState first = computeState(object, id, true, object.record.motionStartFrame,
                                              header, lock.symbols(), false, playback);
        EXPECT_EQ(QPointF(first.centreX, first.centreY), QPointF(drawn[0]));
        ObjectFrameState last = computeState(object, id, true, object.record.motionEndFrame, header,
                                             lock.symbols(), false, playback);
        EXPECT_EQ(QPointF(last.centreX, last.centreY), QPointF(drawn[drawn.size() - 4]));
    }
    EXPECT_GT(undoSteps(), steps); // the stroke is an edit of its own
}

TEST_F(StageWindowTest, TheGuideLineButtonWithoutASelectionSaysSo) {
    window->editor().clearSelection();
    window->motionPanel().guideLineButton()->show();
    QMetaObject::invokeMethod(window->motionPanel().guideLineButton(), "click",
                              Qt::DirectConnection);
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages.back().text, "No animation object on the timeline.");
}

} // namespace

namespace {

// The rows of the motion panel: the toggles at (10, y0)..(110, y0 + 20) and (130, y0)..(260,
// y0 + 20), the sliders from x 130 to 250, 11 pixels high, from y0 + 25 on, 15 pixels apart,
// with y0 = (height - 195) / 2 + 5 where the column fits (MotionPanelModel::column: higher and
// closer in a short panel); the guide line layout's dialog button below its sliders, and the
// easing chooser under everything, inside the panel, in every layout.
TEST_F(StageWindowTest, TheMotionPanelsRowsInItsThreeLayouts) {
    MotionPanel& panel = window->motionPanel();
    using M = MotionPanelModel;
    struct Layout {
        MotionKind kind;
        std::vector<int> sliders; // top to bottom
    };
    const Layout layouts[] = {
        {kNoMotion,
         {M::kFrameRate, M::kStartOpacity, M::kStartX, M::kStartY, M::kStartAngle, M::kStartScale}},
        {kLinerMotion,
         {M::kFrameRate, M::kStartOpacity, M::kEndOpacity, M::kStartX, M::kStartY, M::kEndX,
          M::kEndY, M::kStartAngle, M::kEndAngle, M::kStartScale, M::kEndScale}},
        {kGuideLineMotion,
         {M::kFrameRate, M::kStartOpacity, M::kEndOpacity, M::kStartScale, M::kEndScale}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(int(layout.kind));
        window->editor().setMotionKind(0, layout.kind);
        settle();
        const MotionPanelModel::Column column = M::column(panel.height());
        const int y0 = column.top;
        if (panel.height() >= 253) { // the main window's default size: the described place
            EXPECT_EQ(y0, (panel.height() - 195) / 2 + 5);
        }
        int shown = 0;
        for (const M::Slider& slider : M::sliders()) {
            FlatSlider* widget = panel.slider(slider.command);
            const auto row =
                std::find(layout.sliders.begin(), layout.sliders.end(), slider.command);
            EXPECT_EQ(widget->isVisible(), row != layout.sliders.end()) << slider.command;
            if (row == layout.sliders.end())
                continue;
            const int index = int(row - layout.sliders.begin());
            EXPECT_EQ(widget->geometry(), QRect(130, y0 + 25 + column.pitch * index, 120, 11))
                << slider.command;
            ++shown;
        }
        EXPECT_EQ(shown, int(layout.sliders.size()));
        QPushButton* liner = panel.toggle(M::kLinerToggle);
        QPushButton* guide = panel.toggle(M::kGuideLineToggle);
        EXPECT_EQ(liner->isVisible(), layout.kind != kNoMotion);
        EXPECT_EQ(liner->geometry(), QRect(10, y0, 100, 20));
        EXPECT_EQ(guide->geometry(), QRect(130, y0, 130, 20));
        EXPECT_EQ(liner->isChecked(), layout.kind == kLinerMotion);
        EXPECT_EQ(guide->isChecked(), layout.kind == kGuideLineMotion);
        EXPECT_EQ(panel.guideLineButton()->isVisible(), layout.kind == kGuideLineMotion);
        int lastBottom = y0 + 25 + column.pitch * int(layout.sliders.size());
        if (layout.kind == kGuideLineMotion) {
            EXPECT_GE(panel.guideLineButton()->y(), lastBottom);
            lastBottom = panel.guideLineButton()->geometry().bottom() + 1;
        }
        QComboBox* chooser = panel.easingChooser();
        EXPECT_TRUE(chooser->isVisible());
        EXPECT_EQ(chooser->isEnabled(), layout.kind != kNoMotion); // no motion: nothing to ease
        EXPECT_EQ(chooser->x(), 70);
        EXPECT_GE(chooser->y(), lastBottom);
        EXPECT_LE(chooser->geometry().bottom(), panel.height() - 1);
    }
}

// The easing chooser, used as a person would: a click opens the list of curves, keys choose
// in it, Esc closes it without a change; with the chooser focused an arrow key takes the next
// curve; the wheel over it changes nothing. Each choice is one undo step and redraws the stage;
// undo and redo bring the curve back in the chooser; an appended motion continues the curve.
TEST_F(StageWindowTest, TheEasingChooserMakesOneUndoStepPerCurveAndRedrawsTheStage) {
    MotionPanel& panel = window->motionPanel();
    QTest::mouseClick(panel.toggle(MotionPanelModel::kLinerToggle), Qt::LeftButton);
    settle();
    QComboBox* chooser = panel.easingChooser();
    ASSERT_TRUE(chooser->isVisible() && chooser->isEnabled());
    EXPECT_EQ(chooser->currentText(), "Linear");
    const auto curveOf = [this] { return record().easing; };
    StageCanvas& canvas = window->stage().canvas();

    // Open, two down, Enter: the third curve.
    int steps = undoSteps();
    const int draws = canvas.drawCount();
    QTest::mouseClick(chooser, Qt::LeftButton);
    QTRY_VERIFY(chooser->view()->isVisible());
    QTest::keyClick(chooser->view(), Qt::Key_Down);
    QTest::keyClick(chooser->view(), Qt::Key_Down);
    QTest::keyClick(chooser->view(), Qt::Key_Return);
    QTRY_VERIFY(!chooser->view()->isVisible());
    settle();
    EXPECT_EQ(curveOf(), MotionEasing::all()[2]);
    EXPECT_EQ(chooser->currentText(), MotionEasing::name(MotionEasing::all()[2]));
    EXPECT_EQ(undoSteps(), ++steps);
    EXPECT_TRUE(QTest::qWaitFor([&] { return canvas.drawCount() > draws; }, 3000));

    // Opened again and closed with Esc after a move: nothing changes.
    QTest::mouseClick(chooser, Qt::LeftButton);
    QTRY_VERIFY(chooser->view()->isVisible());
    QTest::keyClick(chooser->view(), Qt::Key_Down);
    QTest::keyClick(chooser->view(), Qt::Key_Escape);
    QTRY_VERIFY(!chooser->view()->isVisible());
    settle();
    EXPECT_EQ(curveOf(), MotionEasing::all()[2]);
    EXPECT_EQ(undoSteps(), steps);

    // The focused chooser takes arrow keys; a wheel turned over it does nothing.
    chooser->setFocus();
    QTest::keyClick(chooser, Qt::Key_Down);
    settle();
    EXPECT_EQ(curveOf(), MotionEasing::all()[3]);
    EXPECT_EQ(undoSteps(), ++steps);
    QWheelEvent wheel(QPointF(20, 10), chooser->mapToGlobal(QPointF(20, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chooser, &wheel);
    settle();
    EXPECT_EQ(curveOf(), MotionEasing::all()[3]);
    EXPECT_EQ(undoSteps(), steps);

    window->runCommand(CommandId::Undo);
    settle();
    EXPECT_EQ(curveOf(), MotionEasing::all()[2]);
    EXPECT_EQ(chooser->currentText(), MotionEasing::name(MotionEasing::all()[2]));
    window->runCommand(CommandId::Undo);
    settle();
    EXPECT_EQ(chooser->currentText(), "Linear");
    window->runCommand(CommandId::Redo);
    settle();
    EXPECT_EQ(chooser->currentText(), MotionEasing::name(MotionEasing::all()[2]));

    window->runCommand(CommandId::AppendLiner);
    settle();
    EXPECT_EQ(record(1).easing, MotionEasing::all()[2]);
    EXPECT_EQ(chooser->currentText(), MotionEasing::name(MotionEasing::all()[2]));

    // Without a selection the chooser cannot be used.
    window->editor().clearSelection();
    settle();
    EXPECT_FALSE(chooser->isEnabled());
}

} // namespace
