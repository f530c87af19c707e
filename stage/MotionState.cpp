#include "stage/MotionState.h"

#include "document/AnimationObject.h"
#include "document/EmbeddedSymbolList.h"
#include "document/ProjectHeader.h"
#include "stage/MotionEasing.h"
#include "stage/PlaybackState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kOpacityFactor = 0.003921569f; // 1 / 255 as the float the symbol alpha uses
constexpr float kMaxLinerScale = 100.0f;
constexpr float kMinLinerScale = 0.001f;

// `t` is the eased progress. A curve that overshoots (Back, Elastic) takes the scale along, but
// the opacity stays within its range; Linear never leaves 0..1 and is left untouched.
void interpolateScaleAndOpacity(const ObjectRecord& r, float t, bool eased,
                                ObjectFrameState& state) {
    const float scale = r.startScale + (r.endScale - r.startScale) * t;
    state.scaleX = state.scaleY = scale;
    if (r.kind == kSymbolObject) {
        const float start = r.startOpacity * kOpacityFactor;
        const float end = r.endOpacity * kOpacityFactor;
        state.opacity = start + (end - start) * t;
        if (eased)
            state.opacity = std::clamp(state.opacity, 0.0f, 1.0f);
    } else {
        state.textOpacity = static_cast<int>(static_cast<float>(r.startOpacity) +
                                             static_cast<float>(r.endOpacity - r.startOpacity) * t);
        if (eased)
            state.textOpacity = std::clamp(state.textOpacity, 0, 255);
    }
}

// The guide point that eased progress `eased` names among `n` points: the eased share of the
// points, truncated, never before the first (Back and Elastic may pass 1; the caller then takes
// the last four points). The small allowance keeps a share that is a whole number, as 0.7 x 0.7
// x 100 = 49, from falling one point short through the float progress (0.69999999).
std::int64_t easedPointIndex(float eased, std::int64_t n) {
    constexpr double kAllowance = 1e-4;
    const double index =
        std::floor(static_cast<double>(eased) * static_cast<double>(n) + kAllowance);
    return index < 0.0 ? 0 : static_cast<std::int64_t>(std::min(index, static_cast<double>(n)));
}

void applyGuideLineMotion(const AnimationObject& object, int frame, std::int64_t step,
                          ObjectFrameState& state) {
    const ObjectRecord& r = object.record;
    const std::int64_t n = object.guidePoints.count();
    const int g = std::min(frame, r.motionEndFrame);
    const Easing easing = MotionEasing::of(r);
    // The eased progress through the span, read once the motion has begun.
    const float t =
        g >= r.motionStartFrame
            ? MotionEasing::apply(easing, motionProgress(g, r.motionStartFrame, r.motionEndFrame))
            : 0.0f;
    std::int64_t i = 0;
    if (g > r.motionStartFrame) { // then the span is not empty
        if (easing == kEaseLinear)
            i = (static_cast<std::int64_t>(g) - r.motionStartFrame) * n /
                (static_cast<std::int64_t>(r.motionEndFrame) - r.motionStartFrame);
        else
            i = easedPointIndex(t, n);
    }
    state.symbolTime = static_cast<std::int32_t>(r.startFrame + step);

    std::int64_t a = i;
    std::int64_t b = i + 3;
    if (i + 3 >= n) {
        a = n - 4;
        b = n - 1;
    }
    const GuidePoint pa = object.guidePoints[static_cast<std::uint32_t>(a)];
    const GuidePoint pb = object.guidePoints[static_cast<std::uint32_t>(b)];
    state.centreX = static_cast<float>(pa.x);
    state.centreY = static_cast<float>(pa.y);
    state.angle = static_cast<float>(r.headingOffset) + guideBearing(pa.x, pa.y, pb.x, pb.y);
    if (g >= r.motionStartFrame)
        interpolateScaleAndOpacity(r, t, easing != kEaseLinear, state);
}

void applyLinerMotion(const AnimationObject& object, int frame, ObjectFrameState& state) {
    const ObjectRecord& r = object.record;
    const int g = std::min(frame, r.motionEndFrame);
    if (g < r.motionStartFrame)
        return;
    const Easing easing = MotionEasing::of(r);
    const float t =
        MotionEasing::apply(easing, motionProgress(g, r.motionStartFrame, r.motionEndFrame));
    const QPointF start = object.startCentre();
    const QPointF end = object.endCentre();
    state.centreX = static_cast<float>(start.x()) + static_cast<float>(end.x() - start.x()) * t;
    state.centreY = static_cast<float>(start.y()) + static_cast<float>(end.y() - start.y()) * t;
    state.angle = r.startAngle + (r.endAngle - r.startAngle) * t;
    interpolateScaleAndOpacity(r, t, easing != kEaseLinear, state);
    float scale = state.scaleX;
    if (scale > kMaxLinerScale)
        scale = kMaxLinerScale;
    else if (!(scale >= kMinLinerScale)) // also catches NaN
        scale = kMinLinerScale;
    state.scaleX = state.scaleY = scale;
}

// Picks the symbol picture chosen by the previous computation and moves the shared cursor on.
// Returns false when the object's symbol is missing or empty.
bool advanceSymbol(const SymbolId& id, std::int64_t step, const EmbeddedSymbolList& symbols,
                   PlaybackState& playback, ObjectFrameState& state) {
    const int index = symbols.indexOf(id);
    if (index < 0 || static_cast<std::size_t>(index) >= playback.cursors.size())
        return false;
    const EmbeddedSymbol& symbol = symbols.records[static_cast<std::uint32_t>(index)];
    if (symbol.frames.isEmpty())
        return false;
    const std::int64_t count = symbol.frames.count();
    std::int32_t& cursor = playback.cursors[static_cast<std::size_t>(index)];
    std::int64_t current = cursor;
    if (current < 0 || current >= count) // damaged index: start over at the first picture
        current = 0;
    state.symbolPicture = symbol.frames[static_cast<std::uint32_t>(current)];
    cursor = pictureIndex(step, count);
    return true;
}

} // namespace

std::int64_t symbolStep(const ObjectRecord& r, int frame, int projectFrameRate) {
    if (projectFrameRate <= 0) // a damaged file; the properties dialog keeps it at 1..30
        return 0;
    return (static_cast<std::int64_t>(frame) - r.startFrame) * r.symbolFrameRate / projectFrameRate;
}

bool followsGuideLine(const AnimationObject& object) {
    return object.record.motionKind == kGuideLineMotion && object.guidePoints.count() >= 4;
}

std::int32_t pictureIndex(std::int64_t step, std::int64_t count) {
    std::int64_t index = step % count;
    if (index < 0)
        index += count;
    return static_cast<std::int32_t>(index);
}

float motionProgress(int g, int motionStart, int motionEnd) {
    if (motionEnd == motionStart)
        return 1.0f;
    return static_cast<float>(g - motionStart) / static_cast<float>(motionEnd - motionStart);
}

float guideBearing(int fromX, int fromY, int toX, int toY) {
    if (fromX == toX && fromY == toY)
        return 180.0f;
    const double dx = std::abs(static_cast<double>(toX) - fromX);
    const double dy = std::abs(static_cast<double>(toY) - fromY);
    const double d = dx == 0.0 ? 90.0 : std::atan(dy / dx) * 180.0 / M_PI;
    double bearing;
    if (toX > fromX)
        bearing = toY > fromY ? d + 90.0 : 90.0 - d;
    else
        bearing = toY >= fromY ? 270.0 - d : 270.0 + d;
    return static_cast<float>(bearing);
}

ObjectFrameState computeState(const AnimationObject& object, const SymbolId& symbolId,
                              bool layerVisible, int frame, const ProjectHeader& header,
                              const EmbeddedSymbolList& symbols, bool editView,
                              PlaybackState& playback) {
    ObjectFrameState state;
    const ObjectRecord& r = object.record;
    if (frame < r.startFrame || frame > r.endFrame || !layerVisible)
        return state;
    const std::int64_t step = symbolStep(r, frame, header.frameRate);

    const QPointF centre = object.startCentre();
    state.centreX = static_cast<float>(centre.x());
    state.centreY = static_cast<float>(centre.y());
    state.angle = r.startAngle;
    state.scaleX = state.scaleY = r.startScale;
    state.opacity = r.startOpacity * kOpacityFactor;
    state.textOpacity = r.startOpacity;

    if (!editView) {
        if (followsGuideLine(object))
            applyGuideLineMotion(object, frame, step, state);
        else if (r.motionKind == kLinerMotion)
            applyLinerMotion(object, frame, state);
    }
    state.trail = r.trailFlag != 0;

    // Text objects carry the null id and have no symbol; they are drawn all the same.
    const bool hasPicture = advanceSymbol(symbolId, step, symbols, playback, state);
    state.drawn = hasPicture || r.kind != kSymbolObject;
    return state;
}
