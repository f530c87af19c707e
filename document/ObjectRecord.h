#pragma once

#include "text/LogFontA.h"

#include <cstddef>
#include <cstdint>

enum ObjectKind : std::int32_t {
    kTextObject = 0,
    kSymbolObject = 1,
};

enum MotionKind : std::int32_t {
    kNoMotion = 0,
    kLinerMotion = 1,
    kGuideLineMotion = 2,
};

// How a motion's progress t (0 at the motion start frame, 1 at its end) is mapped before it is
// used. Stored at offset 76, a field that is zero in every object made before curves existed,
// so 0 must stay Linear: the constant speed of old files. Values outside the list read as
// Linear and are carried as they stand.
enum Easing : std::int32_t {
    kEaseLinear = 0,
    kEaseInQuad = 1,
    kEaseOutQuad = 2,
    kEaseInOutQuad = 3,
    kEaseInCubic = 4,
    kEaseOutCubic = 5,
    kEaseInOutCubic = 6,
    kEaseBack = 7, // overshoots the end and comes back
    kEaseBounce = 8,
    kEaseElastic = 9,
};

// ObjectRecord: the 524 stored bytes of an animation object, written verbatim into project
// files; the offsets are part of the file format. Positions are stage pixels (top-left corner
// of the scaled, unrotated box), angles degrees clockwise, opacity 0..255, frames from 0 with
// spans inclusive at both ends. The reserved fields keep their values and are carried as
// they stand.
struct ObjectRecord {
    std::int32_t kind; // 0 text, 1 symbol
    std::int32_t startOpacity;
    std::int32_t endOpacity;
    std::uint32_t selected;
    std::uint32_t reserved16;
    std::int32_t width; // unscaled size of the picture in pixels
    std::int32_t height;
    float startFractionX; // the motion panel's view of the start position
    float startFractionY;
    float startX;
    float startY;
    float dragOriginX; // start position when the last stage drag began
    float dragOriginY;
    float endX;
    float endY;
    float startAngle;
    float endAngle;
    float startScale;
    float endScale;
    std::int32_t easing; // an Easing; 0 (Linear) in objects and files made without curves
    std::uint32_t reserved80;
    std::int32_t motionKind; // 0 none, 1 Liner, 2 guide line
    // Written by drawing a guide line motion (playback state, not an edit), never read.
    mutable std::int32_t symbolTime;
    std::int32_t startFrame;
    std::int32_t endFrame;
    std::int32_t motionStartFrame;
    std::int32_t motionEndFrame;
    std::int32_t symbolFrameRate; // symbol pictures per second
    char text[260];
    std::int32_t textStyle;
    std::uint32_t reserved376;
    LogFontA font;
    std::uint32_t textColor;       // 0x00BBGGRR
    std::uint32_t secondTextColor; // 0x00BBGGRR
    std::uint32_t reserved448[4];
    std::uint32_t trailFlag;
    std::uint32_t reserved468;
    std::uint32_t reserved472;    // 12 in every object made by the program
    std::int32_t guidePointCount; // set from the point list before saving
    std::uint32_t reserved480;
    std::int32_t headingOffset;  // degrees added to a guide line's bearing
    std::int32_t hitRegionIndex; // slot in the hit-region table, -1 for none (run time)
    std::uint32_t regionHandle;  // run-time handle slot, 0 after load
    std::uint32_t reserved496[7];
};

static_assert(sizeof(ObjectRecord) == 524);
static_assert(offsetof(ObjectRecord, startOpacity) == 4);
static_assert(offsetof(ObjectRecord, endOpacity) == 8);
static_assert(offsetof(ObjectRecord, selected) == 12);
static_assert(offsetof(ObjectRecord, reserved16) == 16);
static_assert(offsetof(ObjectRecord, width) == 20);
static_assert(offsetof(ObjectRecord, height) == 24);
static_assert(offsetof(ObjectRecord, startFractionX) == 28);
static_assert(offsetof(ObjectRecord, startFractionY) == 32);
static_assert(offsetof(ObjectRecord, startX) == 36);
static_assert(offsetof(ObjectRecord, startY) == 40);
static_assert(offsetof(ObjectRecord, dragOriginX) == 44);
static_assert(offsetof(ObjectRecord, dragOriginY) == 48);
static_assert(offsetof(ObjectRecord, endX) == 52);
static_assert(offsetof(ObjectRecord, endY) == 56);
static_assert(offsetof(ObjectRecord, startAngle) == 60);
static_assert(offsetof(ObjectRecord, endAngle) == 64);
static_assert(offsetof(ObjectRecord, startScale) == 68);
static_assert(offsetof(ObjectRecord, endScale) == 72);
static_assert(offsetof(ObjectRecord, easing) == 76);
static_assert(offsetof(ObjectRecord, reserved80) == 80);
static_assert(offsetof(ObjectRecord, motionKind) == 84);
static_assert(offsetof(ObjectRecord, symbolTime) == 88);
static_assert(offsetof(ObjectRecord, startFrame) == 92);
static_assert(offsetof(ObjectRecord, endFrame) == 96);
static_assert(offsetof(ObjectRecord, motionStartFrame) == 100);
static_assert(offsetof(ObjectRecord, motionEndFrame) == 104);
static_assert(offsetof(ObjectRecord, symbolFrameRate) == 108);
static_assert(offsetof(ObjectRecord, text) == 112);
static_assert(offsetof(ObjectRecord, textStyle) == 372);
static_assert(offsetof(ObjectRecord, reserved376) == 376);
static_assert(offsetof(ObjectRecord, font) == 380);
static_assert(offsetof(ObjectRecord, textColor) == 440);
static_assert(offsetof(ObjectRecord, secondTextColor) == 444);
static_assert(offsetof(ObjectRecord, reserved448) == 448);
static_assert(offsetof(ObjectRecord, trailFlag) == 464);
static_assert(offsetof(ObjectRecord, reserved468) == 468);
static_assert(offsetof(ObjectRecord, reserved472) == 472);
static_assert(offsetof(ObjectRecord, guidePointCount) == 476);
static_assert(offsetof(ObjectRecord, reserved480) == 480);
static_assert(offsetof(ObjectRecord, headingOffset) == 484);
static_assert(offsetof(ObjectRecord, hitRegionIndex) == 488);
static_assert(offsetof(ObjectRecord, regionHandle) == 492);
static_assert(offsetof(ObjectRecord, reserved496) == 496);
