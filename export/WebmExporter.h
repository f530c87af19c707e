#pragma once

#include "export/FfmpegExporter.h"

// WebmExporter: VP9 video (libvpx-vp9) in constant quality mode in a WebM file. With a
// transparent background the frames keep their alpha (4:2:0 with an alpha plane, which
// libvpx codes as a second stream beside the colour; the track says so with AlphaMode);
// otherwise they are opaque 4:2:0, frames with alpha laid over the background. Any size,
// odd ones included. WebM counts time in milliseconds: frame n starts at round(n * 1000 /
// frame rate) ms, so no frame is dropped or doubled (each lasts its period to within 1 ms).
class WebmExporter : public FfmpegExporter {
public:
    static constexpr int kDefaultQuality = 50; // CRF 31

    explicit WebmExporter(const ExportSettings& settings = {});

    // libvpx's constant rate factor for quality 0..100 (-1: the default): 63 (smallest) .. 0.
    static int crfFor(int quality);

protected:
    int pixelFormat() const override;
    void configure(AVCodecContext& codec, AVDictionary** codecOptions, AVDictionary** muxerOptions,
                   AVStream& stream) const override;
};
