#include "stage/MotionEasing.h"

#include <QEasingCurve>

namespace {

struct Curve {
    Easing easing;
    QEasingCurve::Type type;
    const char* name;
};

// Back, Bounce and Elastic are Qt's "Out" forms: the overshoot, the bounces and the spring
// come at the end of the motion, where the object arrives.
constexpr std::array<Curve, MotionEasing::kCount> kCurves{{
    {kEaseLinear, QEasingCurve::Linear, "Linear"},
    {kEaseInQuad, QEasingCurve::InQuad, "Ease In Quad"},
    {kEaseOutQuad, QEasingCurve::OutQuad, "Ease Out Quad"},
    {kEaseInOutQuad, QEasingCurve::InOutQuad, "Ease In-Out Quad"},
    {kEaseInCubic, QEasingCurve::InCubic, "Ease In Cubic"},
    {kEaseOutCubic, QEasingCurve::OutCubic, "Ease Out Cubic"},
    {kEaseInOutCubic, QEasingCurve::InOutCubic, "Ease In-Out Cubic"},
    {kEaseBack, QEasingCurve::OutBack, "Back"},
    {kEaseBounce, QEasingCurve::OutBounce, "Bounce"},
    {kEaseElastic, QEasingCurve::OutElastic, "Elastic"},
}};

const Curve& curve(Easing easing) {
    for (const Curve& c : kCurves)
        if (c.easing == easing)
            return c;
    return kCurves[0];
}

} // namespace

const std::array<Easing, MotionEasing::kCount>& MotionEasing::all() {
    static const std::array<Easing, kCount> kAll = [] {
        std::array<Easing, kCount> list{};
        for (std::size_t i = 0; i < kCurves.size(); ++i)
            list[i] = kCurves[i].easing;
        return list;
    }();
    return kAll;
}

Easing MotionEasing::of(const ObjectRecord& record) {
    for (const Curve& c : kCurves)
        if (c.easing == record.easing)
            return c.easing;
    return kEaseLinear;
}

const char* MotionEasing::name(Easing easing) {
    return curve(easing).name;
}

float MotionEasing::apply(Easing easing, float t) {
    if (easing == kEaseLinear)
        return t; // bit for bit the constant speed of objects without a curve
    // Qt's curves are pure functions of t; one set, built once, serves every drawing thread.
    static const std::array<QEasingCurve, kCount> kQtCurves = [] {
        std::array<QEasingCurve, kCount> curves;
        for (std::size_t i = 0; i < kCurves.size(); ++i)
            curves[i] = QEasingCurve(kCurves[i].type);
        return curves;
    }();
    for (std::size_t i = 0; i < kCurves.size(); ++i)
        if (kCurves[i].easing == easing)
            return static_cast<float>(kQtCurves[i].valueForProgress(t));
    return t;
}
