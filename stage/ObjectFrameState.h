#pragma once

#include <QImage>

// ObjectFrameState: what an object looks like at one frame, as the renderer draws it.
struct ObjectFrameState {
    bool drawn = false;
    float centreX = 0.0f; // stage pixels
    float centreY = 0.0f;
    float angle = 0.0f;  // degrees, clockwise
    float scaleX = 1.0f; // always equal to scaleY
    float scaleY = 1.0f;
    float opacity = 1.0f;  // symbol objects: 0.0 .. 1.0
    int textOpacity = 255; // text objects: 0 .. 255
    bool trail = false;
    QImage symbolPicture; // symbol objects: the picture to draw
    // A guide line motion's symbol time (start frame + symbol step), -1 when none was written.
    int symbolTime = -1;
};
