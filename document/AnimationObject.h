#pragma once

#include "document/BlockList.h"
#include "document/ProjectHeader.h"
#include "document/GuidePoint.h"
#include "document/ObjectRecord.h"

#include <QPointF>
#include <QSize>

#include <optional>
#include <string>
#include <string_view>

// AnimationObject: one animated thing on a layer (a text or a symbol shown over a span of
// frames, moving from start to end values). The record holds the stored bytes; the guide
// points are its run-time companion beside it.
class AnimationObject {
public:
    ObjectRecord record{};
    BlockList<GuidePoint> guidePoints;

    // A symbol object showing pictures of `pictureSize`, centred on the stage of `header`,
    // spanning the whole duration, without motion.
    static AnimationObject makeSymbolObject(QSize pictureSize, const ProjectHeader& header);
    // A text object of the given text fields, measured as `measuredSize`, otherwise as above.
    static AnimationObject makeTextObject(std::string_view text, std::int32_t style,
                                          const LogFontA& font, std::uint32_t textColor,
                                          std::uint32_t secondTextColor, QSize measuredSize,
                                          const ProjectHeader& header);

    // The defaults every new object gets: spans, start = end values, frame rate, size,
    // centred position, no hit region yet, no guide points. Text fields are left alone.
    void applyNewObjectDefaults(QSize size, const ProjectHeader& header);

    // The object that continues this one with a motion of `kind` (append motion): same length,
    // starting where this one ends, starting from this one's start values.
    AnimationObject continuation(MotionKind kind, std::int32_t projectFrameRate) const;
    // Takes the motion off: no motion, no guide points, end values = start values (opacity kept).
    void deleteMotion();

    bool isSymbol() const { return record.kind == kSymbolObject; }
    bool isSelected() const { return record.selected != 0; }
    QPointF startCentre() const;
    QPointF endCentre() const;
    std::string text() const;
    void setText(std::string_view text);

    // Start position that centres a box of `size` pixels on a stage of `stageSize` pixels:
    // stage / 2 - (size / 2), the second division truncating.
    static float centredStart(std::int32_t stageSize, std::int32_t size);
};
