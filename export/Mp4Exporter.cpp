#include "export/Mp4Exporter.h"

#include "export/VideoColour.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <string>

Mp4Exporter::Mp4Exporter(const ExportSettings& settings)
    : FfmpegExporter("MP4", "mp4", "libx264", settings) {}

double Mp4Exporter::crfFor(int quality) {
    const int q = quality < 0 ? kDefaultQuality : std::min(quality, 100);
    return 51.0 - q * 0.5;
}

int Mp4Exporter::pixelFormat() const {
    return AV_PIX_FMT_YUV420P;
}

void Mp4Exporter::codedSize(int& width, int& height) const {
    width += width & 1;
    height += height & 1;
}

void Mp4Exporter::configure(AVCodecContext& codec, AVDictionary** codecOptions,
                            AVDictionary** muxerOptions, AVStream&) const {
    av_dict_set(codecOptions, "crf", std::to_string(crfFor(settings().quality)).c_str(), 0);
    av_dict_set(codecOptions, "preset", "medium", 0);
    av_dict_set(codecOptions, "profile", "high", 0);
    VideoColour::tag(codec);
    av_dict_set(muxerOptions, "movflags", "+faststart", 0);
}
