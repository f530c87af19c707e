#pragma once

#include "export/FfmpegExporter.h"

// Mp4Exporter: H.264 video (libx264, 4:2:0, High profile, the level x264 derives from size and
// rate) in an MP4 file whose index comes first (`+faststart`), so that a browser plays it while
// it downloads. 4:2:0 needs an even width and height: an odd side gains one row or column of
// the background colour (right or bottom); the picture is never scaled. Frames with alpha are
// laid over the background. The MP4 muxer keeps a multiple of 1 / frame rate as its time
// scale, so every frame lasts exactly one frame period.
class Mp4Exporter : public FfmpegExporter {
public:
    static constexpr int kDefaultQuality = 66; // CRF 18

    explicit Mp4Exporter(const ExportSettings& settings = {});

    // x264's constant rate factor for quality 0..100 (-1: the default): 51 (smallest) down to
    // 1; never 0, which is lossless and needs a profile that browsers do not play.
    static double crfFor(int quality);

protected:
    int pixelFormat() const override;
    void codedSize(int& width, int& height) const override;
    void configure(AVCodecContext& codec, AVDictionary** codecOptions, AVDictionary** muxerOptions,
                   AVStream& stream) const override;
};
