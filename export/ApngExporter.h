#pragma once

#include "export/FfmpegExporter.h"

// ApngExporter: an animated PNG (FFmpeg's apng encoder and muxer), lossless: 8-bit RGB, or
// RGBA with straight alpha when the background is transparent. After the first frame the
// encoder stores only the rectangle that changed, choosing the disposal and blending that make
// it smallest; each row is filtered with the predictor that suits it best and compressed at zlib's
// level 9. The loop count is APNG's number of plays (0 forever). Each frame's delay is the fraction
// 1 / frame rate.
class ApngExporter : public FfmpegExporter {
public:
    explicit ApngExporter(const ExportSettings& settings = {});

protected:
    int pixelFormat() const override;
    void configure(AVCodecContext& codec, AVDictionary** codecOptions, AVDictionary** muxerOptions,
                   AVStream& stream) const override;
};
