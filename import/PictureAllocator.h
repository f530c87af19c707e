#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CxImage;

// PictureAllocator: makes the CxImage every picture reader fills, and is the one place that
// decides whether a picture of a given size can be held. A picture is refused only when its
// size cannot be computed or stored (over the pixel limit), when it needs more bytes than the
// machine has, or when the allocation itself fails; each refusal says why in error.
class PictureAllocator {
public:
    // The largest picture (pixels) the readers accept: CxImage::kMaxPixels unless lowered (the
    // fuzz target lowers it to stay inside its memory limit) before the first picture is read.
    static std::int64_t pixelLimit();
    static void setPixelLimit(std::int64_t pixels);

    // True when width x height pixels of bytesPerPixel each are within the pixel limit and the
    // machine's memory; else false with the reason in error (when given).
    static bool fits(std::int64_t width, std::int64_t height, int bytesPerPixel,
                     std::string* error);
    // A cleared picture of 24 or 32 bits per pixel (4 bytes a pixel either way); null, with
    // the reason in error, when it cannot be had.
    static std::unique_ptr<CxImage> create(std::int64_t width, std::int64_t height, bool alpha,
                                           std::string* error);
};
