#include "document/AnimationObject.h"

#include "document/FixedText.h"

#include <cstring>

float AnimationObject::centredStart(std::int32_t stageSize, std::int32_t size) {
    // (stage + 2W) * 0.5 - W - (W / 2) with W truncated to whole pixels: the box's centre
    // lands on the stage's centre, rounded toward the left/top for odd sizes.
    return static_cast<float>(stageSize + 2 * size) * 0.5f - static_cast<float>(size) -
           static_cast<float>(size / 2);
}

void AnimationObject::applyNewObjectDefaults(QSize size, const ProjectHeader& header) {
    ObjectRecord& r = record;
    r.startOpacity = 255;
    r.endOpacity = 255;
    r.width = size.width();
    r.height = size.height();
    r.startFractionX = 0.5f;
    r.startFractionY = 0.5f;
    r.startAngle = 0.0f;
    r.endAngle = 0.0f;
    r.startScale = 1.0f;
    r.endScale = 1.0f;
    r.motionKind = kNoMotion;
    r.symbolTime = 0;
    r.startFrame = 0;
    r.endFrame = header.duration;
    r.motionStartFrame = 0;
    r.motionEndFrame = header.duration;
    r.symbolFrameRate = header.frameRate;
    r.reserved472 = 12;
    r.startX = centredStart(header.width, r.width);
    r.startY = centredStart(header.height, r.height);
    r.dragOriginX = r.endX = r.startX;
    r.dragOriginY = r.endY = r.startY;
    r.hitRegionIndex = -1;
    r.regionHandle = 0;
    guidePoints.clear();
}

AnimationObject AnimationObject::makeSymbolObject(QSize pictureSize, const ProjectHeader& header) {
    AnimationObject object;
    object.record.kind = kSymbolObject;
    object.applyNewObjectDefaults(pictureSize, header);
    object.record.headingOffset = 0;
    return object;
}

AnimationObject AnimationObject::makeTextObject(std::string_view text, std::int32_t style,
                                                const LogFontA& font, std::uint32_t textColor,
                                                std::uint32_t secondTextColor, QSize measuredSize,
                                                const ProjectHeader& header) {
    AnimationObject object;
    object.record.kind = kTextObject;
    object.setText(text);
    object.record.textStyle = style;
    object.record.font = font;
    object.record.textColor = textColor;
    object.record.secondTextColor = secondTextColor;
    object.applyNewObjectDefaults(measuredSize, header);
    object.record.headingOffset = 270;
    return object;
}

AnimationObject AnimationObject::continuation(MotionKind kind,
                                              std::int32_t projectFrameRate) const {
    AnimationObject next = *this;
    ObjectRecord& n = next.record;
    const ObjectRecord& p = record;
    n.startFrame = p.endFrame;
    n.endFrame = 2 * p.endFrame - p.startFrame;
    n.motionStartFrame = n.startFrame;
    n.motionEndFrame = n.endFrame;
    n.motionKind = kind;
    next.guidePoints.clear();
    n.guidePointCount = 0;
    n.reserved480 = 0;
    n.reserved472 = 12;
    n.headingOffset = 0;
    n.symbolFrameRate = projectFrameRate;
    // Start and end both take the previous object's start values; the user edits the end.
    n.startOpacity = n.endOpacity = p.startOpacity;
    n.startAngle = n.endAngle = p.startAngle;
    n.startScale = n.endScale = p.startScale;
    n.startX = n.dragOriginX = n.endX = p.startX;
    n.startY = n.dragOriginY = n.endY = p.startY;
    // A guide line continuation takes the first start fraction for both (the file carries it).
    if (kind == kGuideLineMotion)
        n.startFractionY = p.startFractionX;
    n.selected = 1;
    return next;
}

void AnimationObject::deleteMotion() {
    record.motionKind = kNoMotion;
    guidePoints.clear();
    record.endX = record.startX;
    record.endY = record.startY;
    record.endAngle = record.startAngle;
    record.endScale = record.startScale;
}

QPointF AnimationObject::startCentre() const {
    return QPointF(record.startX + record.width * record.startScale * 0.5f,
                   record.startY + record.height * record.startScale * 0.5f);
}

QPointF AnimationObject::endCentre() const {
    return QPointF(record.endX + record.width * record.endScale * 0.5f,
                   record.endY + record.height * record.endScale * 0.5f);
}

std::string AnimationObject::text() const {
    return fixedText(record.text);
}

void AnimationObject::setText(std::string_view text) {
    setFixedText(record.text, text);
}
