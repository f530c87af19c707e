#pragma once

#include <QImage>

#include <cstdint>

// FramePixels: a stage frame as an output format takes it. A format that keeps transparency
// gets straight-alpha ARGB32 (an opaque frame with alpha 255); any other gets opaque RGB32,
// a frame with alpha laid over the background colour first.
class FramePixels {
public:
    // `background` is ARGB; its alpha is ignored (the result is opaque).
    static QImage forOutput(const QImage& frame, bool keepAlpha, std::uint32_t background);
};
