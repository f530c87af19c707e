#include "stage/MotionState.h"

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"
#include "stage/MotionEasing.h"
#include "stage/PlaybackState.h"

#include <QEasingCurve>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

class MotionStateTest : public ::testing::Test {
protected:
    MotionStateTest() : project(Project::unnamed("Motion")) {
        symbolId = SymbolId::create();
        EmbeddedSymbol symbol;
        symbol.id = symbolId;
        for (QRgb colour : {kRed, kGreen, kBlue}) {
            QImage picture(20, 10, QImage::Format_ARGB32);
            picture.fill(colour);
            symbol.frames.append(picture);
        }
        symbols.records.append(symbol);
        playback.cursors.assign(1, 0);
    }

    // A 20 x 10 symbol object at (0, 0), spanning frames 0..20 without motion.
    AnimationObject symbolObject() {
        AnimationObject object = AnimationObject::makeSymbolObject(QSize(20, 10), project.header);
        object.record.startX = object.record.startY = 0.0f;
        object.record.endX = object.record.endY = 0.0f;
        return object;
    }
    // A symbol object as above whose motion of `kind` runs over frames 0..10 along `easing`.
    AnimationObject easedObject(MotionKind kind, Easing easing) {
        AnimationObject object = symbolObject();
        object.record.motionKind = kind;
        object.record.motionEndFrame = 10;
        object.record.easing = easing;
        return object;
    }
    AnimationObject textObject() {
        return AnimationObject::makeTextObject("Hi", 1, LogFontA{}, 0, 0, QSize(20, 10),
                                               project.header);
    }
    ObjectFrameState state(AnimationObject& object, int frame, bool editView = false,
                           bool visible = true) {
        const SymbolId id = object.isSymbol() ? symbolId : SymbolId{};
        const ObjectFrameState s =
            computeState(object, id, visible, frame, project.header, symbols, editView, playback);
        if (s.symbolTime >= 0)
            lastSymbolTime = s.symbolTime;
        return s;
    }
    // The shared picture cursor of the symbol, as the computations leave it.
    int& currentIndex() { return playback.cursors[0]; }

    Project project;
    EmbeddedSymbolList symbols;
    SymbolId symbolId;
    PlaybackState playback;
    int lastSymbolTime = -1;
};

TEST_F(MotionStateTest, DrawnOnlyInsideTheSpanOnAVisibleLayer) {
    AnimationObject object = symbolObject();
    object.record.startFrame = 5;
    object.record.endFrame = 10;
    const std::vector<std::pair<int, bool>> rows{{4, false}, {5, true}, {10, true}, {11, false}};
    for (const auto& [frame, drawn] : rows)
        EXPECT_EQ(state(object, frame).drawn, drawn) << "frame " << frame;

    currentIndex() = 2;
    EXPECT_FALSE(state(object, 7, false, /*visible=*/false).drawn);
    EXPECT_EQ(currentIndex(), 2); // a hidden object does not move the symbol on
}

TEST_F(MotionStateTest, LinerMotionMovesTheCentreBeforeInsideAndAfterItsSpan) {
    //   Liner motion, object span 0..20, motion span 4..12
    //   start (0,0) 20x10 at scale 1 ------> end (100,50) at scale 3
    //   0   4       8       12        20
    AnimationObject object = symbolObject();
    ObjectRecord& r = object.record;
    r.motionKind = kLinerMotion;
    r.motionStartFrame = 4;
    r.motionEndFrame = 12;
    r.endX = 100.0f;
    r.endY = 50.0f;
    r.endScale = 3.0f;
    r.startAngle = 10.0f;
    r.endAngle = 90.0f;
    r.endOpacity = 0;
    struct Row {
        int frame;
        float x, y, angle, scale, opacity;
    };
    // Start centre (10, 5); end centre (100 + 30, 50 + 15) = (130, 65).
    const std::vector<Row> rows{
        {0, 10, 5, 10, 1, 1.0f},    // before the motion: start values
        {4, 10, 5, 10, 1, 1.0f},    // t = 0
        {8, 70, 35, 50, 2, 0.5f},   // t = 0.5: halfway between the centres, not corners
        {12, 130, 65, 90, 3, 0.0f}, // t = 1
        {20, 130, 65, 90, 3, 0.0f}, // after the motion: end values
    };
    for (const Row& row : rows) {
        const ObjectFrameState s = state(object, row.frame);
        EXPECT_FLOAT_EQ(s.centreX, row.x) << "frame " << row.frame;
        EXPECT_FLOAT_EQ(s.centreY, row.y) << "frame " << row.frame;
        EXPECT_FLOAT_EQ(s.angle, row.angle) << "frame " << row.frame;
        EXPECT_FLOAT_EQ(s.scaleX, row.scale) << "frame " << row.frame;
        EXPECT_EQ(s.scaleY, s.scaleX);
        EXPECT_NEAR(s.opacity, row.opacity, 1e-6) << "frame " << row.frame;
    }
}

TEST_F(MotionStateTest, LinerScaleIsClampedButGuideLineScaleIsNot) {
    struct Row {
        MotionKind kind;
        float endScale;
        float expected; // at t = 0.5 from start scale 1
    };
    const std::vector<Row> rows{
        {kLinerMotion, 300.0f, 100.0f},     // 150.5 -> 100
        {kLinerMotion, -2.0f, 0.001f},      // -0.5 -> 0.001
        {kGuideLineMotion, 300.0f, 150.5f}, // not clamped
        {kGuideLineMotion, -2.0f, -0.5f},
    };
    for (const Row& row : rows) {
        AnimationObject object = symbolObject();
        object.record.motionKind = row.kind;
        object.record.motionEndFrame = 10;
        object.record.endScale = row.endScale;
        for (int k = 0; k < 4; ++k)
            object.guidePoints.append({k, 0});
        EXPECT_FLOAT_EQ(state(object, 5).scaleX, row.expected)
            << "kind " << row.kind << " end scale " << row.endScale;
    }
}

TEST_F(MotionStateTest, TextOpacityTruncatesWhileSymbolOpacityStaysAFloat) {
    AnimationObject text = textObject();
    text.record.motionKind = kLinerMotion;
    text.record.motionEndFrame = 10;
    text.record.endOpacity = 0;
    EXPECT_EQ(state(text, 5).textOpacity, 127); // 127.5 truncated
    EXPECT_EQ(state(text, 10).textOpacity, 0);
    text.record.endOpacity = 254;
    text.record.startOpacity = 0;
    EXPECT_EQ(state(text, 9).textOpacity, 228); // 228.6 truncated

    AnimationObject symbol = symbolObject();
    symbol.record.motionKind = kLinerMotion;
    symbol.record.motionEndFrame = 10;
    symbol.record.endOpacity = 0;
    EXPECT_NEAR(state(symbol, 5).opacity, 0.5f, 1e-6);
}

TEST_F(MotionStateTest, GuideLinePicksFourPointsApartAndTheLastFourAtTheEnd) {
    AnimationObject object = symbolObject();
    object.record.motionKind = kGuideLineMotion;
    object.record.motionStartFrame = 0;
    object.record.motionEndFrame = 8;
    for (int k = 0; k < 8; ++k)
        object.guidePoints.append({10 * k, 0}); // straight right
    struct Row {
        int frame;
        float centreX; // point A
    };
    // i = f * 8 / 8; A = point i and B = point i + 3 while i + 3 < 8, else points 4 and 7.
    const std::vector<Row> rows{{0, 0}, {2, 20}, {4, 40}, {5, 40}, {6, 40}, {8, 40}, {20, 40}};
    for (const Row& row : rows) {
        const ObjectFrameState s = state(object, row.frame);
        EXPECT_FLOAT_EQ(s.centreX, row.centreX) << "frame " << row.frame;
        EXPECT_FLOAT_EQ(s.centreY, 0.0f);
        EXPECT_FLOAT_EQ(s.angle, 90.0f); // heading offset 0 + bearing right
    }
    EXPECT_EQ(lastSymbolTime, 20); // start frame + step of the last computation

    // Fewer than four points: no motion at all.
    AnimationObject few = symbolObject();
    few.record.motionKind = kGuideLineMotion;
    few.record.motionEndFrame = 8;
    few.record.endScale = 5.0f;
    for (int k = 0; k < 3; ++k)
        few.guidePoints.append({50, 50});
    const ObjectFrameState s = state(few, 8);
    EXPECT_FLOAT_EQ(s.centreX, 10.0f);
    EXPECT_FLOAT_EQ(s.scaleX, 1.0f);
}

TEST_F(MotionStateTest, GuideLineOutsideItsSpanKeepsScaleAndOpacityButFollowsThePoints) {
    AnimationObject object = symbolObject();
    ObjectRecord& r = object.record;
    r.motionKind = kGuideLineMotion;
    r.motionStartFrame = 4;
    r.motionEndFrame = 12;
    r.endScale = 2.0f;
    r.endOpacity = 0;
    for (int k = 0; k < 6; ++k)
        object.guidePoints.append({0, 100 - 10 * k}); // straight up
    ObjectFrameState before = state(object, 2);
    EXPECT_FLOAT_EQ(before.centreY, 100.0f); // first points
    EXPECT_FLOAT_EQ(before.angle, 360.0f);
    EXPECT_FLOAT_EQ(before.scaleX, 1.0f);
    EXPECT_NEAR(before.opacity, 1.0f, 1e-6);
    ObjectFrameState after = state(object, 16);
    EXPECT_FLOAT_EQ(after.centreY, 80.0f); // point n - 4 = 2
    EXPECT_FLOAT_EQ(after.scaleX, 2.0f);
    EXPECT_NEAR(after.opacity, 0.0f, 1e-6);
}

TEST_F(MotionStateTest, BearingsAndHeadingOffsets) {
    struct Row {
        int dx, dy;
        float bearing;
    };
    const std::vector<Row> rows{
        {10, 0, 90},   {0, 10, 180},  {-10, 0, 270},  {0, -10, 360},   {0, 0, 180},
        {10, 10, 135}, {10, -10, 45}, {-10, 10, 225}, {-10, -10, 315},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(guideBearing(5, 5, 5 + row.dx, 5 + row.dy), row.bearing, 1e-4)
            << row.dx << "," << row.dy;

    // A guide line straight right: a new symbol (offset 0) turns to 90, a new text (offset
    // 270) is drawn at 360, upright.
    for (AnimationObject object : {symbolObject(), textObject()}) {
        object.record.motionKind = kGuideLineMotion;
        for (int k = 0; k < 4; ++k)
            object.guidePoints.append({k, 0});
        EXPECT_FLOAT_EQ(state(object, 3).angle, object.isSymbol() ? 90.0f : 360.0f);
    }
}

TEST_F(MotionStateTest, EditViewShowsStartValuesButStillAdvancesTheSymbol) {
    AnimationObject object = symbolObject();
    object.record.motionKind = kLinerMotion;
    object.record.endX = 200.0f;
    object.record.endScale = 4.0f;
    const ObjectFrameState s = state(object, 15, /*editView=*/true);
    EXPECT_FLOAT_EQ(s.centreX, 10.0f);
    EXPECT_FLOAT_EQ(s.scaleX, 1.0f);
    EXPECT_EQ(currentIndex(), 15 % 3);
}

TEST_F(MotionStateTest, ObjectsOfOneSymbolShareItsCurrentPicture) {
    AnimationObject a = symbolObject();
    AnimationObject b = symbolObject();
    // Frames drawn in order: each object shows the picture chosen by the computation before
    // it; b, drawn after a, shows what a just chose.
    std::vector<QRgb> seenA, seenB;
    for (int frame = 0; frame < 4; ++frame) {
        seenA.push_back(state(a, frame).symbolPicture.pixel(0, 0));
        seenB.push_back(state(b, frame).symbolPicture.pixel(0, 0));
    }
    EXPECT_EQ(seenA, (std::vector<QRgb>{kRed, kRed, kGreen, kBlue}));
    EXPECT_EQ(seenB, (std::vector<QRgb>{kRed, kGreen, kBlue, kRed}));

    // A half-speed symbol steps every second frame: s = f * 6 / 12.
    a.record.symbolFrameRate = 6;
    std::vector<int> indexes;
    for (int frame = 0; frame < 8; ++frame) {
        state(a, frame);
        indexes.push_back(currentIndex());
    }
    EXPECT_EQ(indexes, (std::vector<int>{0, 0, 1, 1, 2, 2, 0, 0}));
}

TEST_F(MotionStateTest, ZeroLengthMotionSpanJumpsToTheEndValuesAtItsFrame) {
    for (MotionKind kind : {kLinerMotion, kGuideLineMotion}) {
        AnimationObject object = symbolObject();
        object.record.motionKind = kind;
        object.record.motionStartFrame = object.record.motionEndFrame = 5;
        object.record.endScale = 2.0f;
        object.record.endOpacity = 0;
        for (int k = 0; k < 4; ++k)
            object.guidePoints.append({k, 0});
        EXPECT_FLOAT_EQ(state(object, 4).scaleX, 1.0f) << kind;
        EXPECT_FLOAT_EQ(state(object, 5).scaleX, 2.0f) << kind;
        EXPECT_FLOAT_EQ(state(object, 9).scaleX, 2.0f) << kind;
        EXPECT_NEAR(state(object, 5).opacity, 0.0f, 1e-6) << kind;
    }
}

TEST_F(MotionStateTest, MissingSymbolsAndDamagedValuesDoNotBreakTheComputation) {
    AnimationObject orphan = symbolObject();
    EXPECT_FALSE(
        computeState(orphan, SymbolId::create(), true, 3, project.header, symbols, false, playback)
            .drawn);

    AnimationObject text = textObject();
    text.record.trailFlag = 1;
    const ObjectFrameState s = state(text, 3);
    EXPECT_TRUE(s.drawn); // the null id has no symbol, and a text needs none
    EXPECT_TRUE(s.trail);

    AnimationObject object = symbolObject();
    currentIndex() = 77; // out of range: starts over at picture 0
    EXPECT_EQ(state(object, 1).symbolPicture.pixel(0, 0), kRed);
    project.header.frameRate = 0; // damaged project: no division by zero
    EXPECT_TRUE(state(object, 2).drawn);
}

// ---- easing curves --------------------------------------------------------------------------

// Each curve of the chooser and the Qt curve it must follow: the overshooting and bouncing
// ones take effect at the end of the motion, where the object arrives.
struct QtCurve {
    Easing easing;
    QEasingCurve::Type type;
};
const QtCurve kQtCurves[] = {
    {kEaseLinear, QEasingCurve::Linear},         {kEaseInQuad, QEasingCurve::InQuad},
    {kEaseOutQuad, QEasingCurve::OutQuad},       {kEaseInOutQuad, QEasingCurve::InOutQuad},
    {kEaseInCubic, QEasingCurve::InCubic},       {kEaseOutCubic, QEasingCurve::OutCubic},
    {kEaseInOutCubic, QEasingCurve::InOutCubic}, {kEaseBack, QEasingCurve::OutBack},
    {kEaseBounce, QEasingCurve::OutBounce},      {kEaseElastic, QEasingCurve::OutElastic},
};

TEST_F(MotionStateTest, EveryCurveMapsTheLinerProgressOfEveryValue) {
    //   Liner motion, motion span 0..10, a 20 x 10 symbol
    //   x 0 ------> 100 (centre 10 -> 110), angle 0 -> 100, scale 1 -> 2, opacity 255 -> 0
    //   0    5     10
    ASSERT_EQ(MotionEasing::all().size(), std::size(kQtCurves));
    for (const QtCurve& curve : kQtCurves) {
        AnimationObject object = easedObject(kLinerMotion, curve.easing);
        ObjectRecord& r = object.record;
        r.endX = 100.0f;
        r.endAngle = 100.0f;
        r.endScale = 2.0f; // the end corner stays at x 100: the centre moves by 100 + 10 e
        r.endY = 0.0f;
        r.endOpacity = 0;
        AnimationObject text = textObject();
        text.record.motionKind = kLinerMotion;
        text.record.motionEndFrame = 10;
        text.record.easing = curve.easing;
        text.record.startOpacity = 55;
        text.record.endOpacity = 255;
        for (int frame = 0; frame <= 12; ++frame) {
            SCOPED_TRACE(std::string(MotionEasing::name(curve.easing)) + " frame " +
                         std::to_string(frame));
            const double t = std::min(frame, 10) / 10.0;
            const double e = QEasingCurve(curve.type).valueForProgress(t);
            const ObjectFrameState s = state(object, frame);
            EXPECT_NEAR(s.centreX, 10 + 110 * e, 1e-4);
            EXPECT_NEAR(s.angle, 100 * e, 1e-4);
            EXPECT_NEAR(s.scaleX, 1 + e, 1e-6);
            EXPECT_NEAR(s.opacity, std::clamp(1 - e, 0.0, 1.0), 1e-6); // overshoot: clamped
            const int textOpacity = std::clamp(int(55 + 200 * e + 1e-4), 0, 255);
            EXPECT_NEAR(state(text, frame).textOpacity, textOpacity, 1) << 55 + 200 * e;
        }
    }
}

TEST_F(MotionStateTest, LinearIsTodaysMotionAndAnUnknownCurveFollowsIt) {
    //   Liner motion, motion span 0..10, x 0 -> 100 (centre 10 -> 110): t = f / 10
    AnimationObject linear = easedObject(kLinerMotion, kEaseLinear);
    linear.record.endX = 100.0f;
    linear.record.endAngle = 90.0f;
    linear.record.endOpacity = 0;
    const std::vector<std::pair<int, float>> rows{{0, 10.0f}, {5, 60.0f}, {10, 110.0f}};
    for (const auto& [frame, centre] : rows)
        EXPECT_EQ(state(linear, frame).centreX, centre) << frame;
    // A value no curve has (a damaged file, a later program's curve) moves exactly as Linear.
    AnimationObject unknown = linear;
    for (std::int32_t stored : {10, -1, 0x7FFFFFFF}) {
        unknown.record.easing = stored;
        for (int frame = 0; frame <= 10; ++frame) {
            const ObjectFrameState a = state(linear, frame);
            const ObjectFrameState b = state(unknown, frame);
            EXPECT_EQ(a.centreX, b.centreX) << stored << " frame " << frame;
            EXPECT_EQ(a.angle, b.angle) << stored << " frame " << frame;
            EXPECT_EQ(a.opacity, b.opacity) << stored << " frame " << frame;
        }
    }
}

TEST_F(MotionStateTest, OvershootFollowsTheCurveExceptWhereTheLinerScaleIsClamped) {
    // Back passes 1 (1.0877 at t = 0.5): the centre and the angle overshoot their ends, the
    // Liner scale stays clamped at 100, the guide line scale is not clamped.
    AnimationObject liner = easedObject(kLinerMotion, kEaseBack);
    liner.record.endAngle = 100.0f;
    liner.record.endScale = 100.0f;
    const ObjectFrameState s = state(liner, 5);
    EXPECT_GT(s.angle, 100.0f);
    EXPECT_FLOAT_EQ(s.scaleX, 100.0f);

    AnimationObject guide = liner;
    guide.record.motionKind = kGuideLineMotion;
    guide.record.endScale = 3.0f;
    for (int k = 0; k < 4; ++k)
        guide.guidePoints.append({k, 0});
    EXPECT_GT(state(guide, 5).scaleX, 3.0f);
}

TEST_F(MotionStateTest, AnEasedGuideLineMotionPicksThePointsTheEasedProgressNames) {
    //   Guide line of 20 points 10 pixels apart, motion span 0..10, Ease In Quad:
    //   point index = trunc(t^2 x 20) with t = f / 10; from index 17 on, the last four (16).
    AnimationObject object = easedObject(kGuideLineMotion, kEaseInQuad);
    object.record.endScale = 3.0f;
    for (int k = 0; k < 20; ++k)
        object.guidePoints.append({10 * k, 0});
    struct Row {
        int frame;
        int point; // A
        float scale;
    };
    const std::vector<Row> rows{
        {0, 0, 1.0f},   // t^2 = 0
        {3, 1, 1.18f},  // 0.09 x 20 = 1.8
        {5, 5, 1.5f},   // 0.25 x 20 = 5
        {7, 9, 1.98f},  // 0.49 x 20 = 9.8
        {8, 12, 2.28f}, // 0.64 x 20 = 12.8
        {9, 16, 2.62f}, // 0.81 x 20 = 16.2
        {10, 16, 3.0f}, // 20: the last four points
        {14, 16, 3.0f}, // after the span
    };
    for (const Row& row : rows) {
        const ObjectFrameState s = state(object, row.frame);
        EXPECT_FLOAT_EQ(s.centreX, 10.0f * row.point) << "frame " << row.frame;
        EXPECT_NEAR(s.scaleX, row.scale, 1e-5) << "frame " << row.frame;
    }

    // With 100 points, 0.7 x 0.7 x 100 is exactly 49, though the float progress is 0.69999999.
    AnimationObject fine = object;
    fine.guidePoints.clear();
    for (int k = 0; k < 100; ++k)
        fine.guidePoints.append({k, 0});
    EXPECT_FLOAT_EQ(state(fine, 7).centreX, 49.0f);

    // Back passes the end (1.0877 x 20 = 21.75 at t = 0.5): the last four points, no further.
    object.record.easing = kEaseBack;
    EXPECT_FLOAT_EQ(state(object, 5).centreX, 160.0f);
}

TEST_F(MotionStateTest, EveryCurveEndsOnTheEndValues) {
    // At the motion's end frame, after it, and on a span of zero length (t = 1) every curve
    // gives exactly the end values: an object never stops short of where it was sent.
    for (Easing easing : MotionEasing::all()) {
        for (int end : {10, 5}) {
            AnimationObject object = easedObject(kLinerMotion, easing);
            object.record.motionStartFrame = 5;
            object.record.motionEndFrame = end;
            object.record.endX = 100.0f;
            object.record.endAngle = 45.0f;
            object.record.endOpacity = 0;
            for (int frame : {end, end + 3}) {
                const ObjectFrameState s = state(object, frame);
                EXPECT_EQ(s.centreX, 110.0f) << MotionEasing::name(easing) << " " << frame;
                EXPECT_EQ(s.angle, 45.0f) << MotionEasing::name(easing) << " " << frame;
                EXPECT_EQ(s.opacity, 0.0f) << MotionEasing::name(easing) << " " << frame;
            }
        }
    }
}

} // namespace
