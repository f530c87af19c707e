#include "export/WebmExporter.h"

#include "export/VideoColour.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <string>

WebmExporter::WebmExporter(const ExportSettings& settings)
    : FfmpegExporter("WebM", "webm", "libvpx-vp9", settings) {}

int WebmExporter::crfFor(int quality) {
    const int q = quality < 0 ? kDefaultQuality : std::min(quality, 100);
    return 63 - (q * 63 + 50) / 100;
}

int WebmExporter::pixelFormat() const {
    return settings().transparent ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P;
}

void WebmExporter::configure(AVCodecContext& codec, AVDictionary** codecOptions, AVDictionary**,
                             AVStream& stream) const {
    // Constant quality: a rate factor and no target bit rate.
    codec.bit_rate = 0;
    av_dict_set(codecOptions, "crf", std::to_string(crfFor(settings().quality)).c_str(), 0);
    // libvpx's "good" quality at speed 4, rows of tiles coded on the export's threads.
    av_dict_set(codecOptions, "deadline", "good", 0);
    av_dict_set(codecOptions, "cpu-used", "4", 0);
    av_dict_set(codecOptions, "row-mt", "1", 0);
    VideoColour::tag(codec);
    if (settings().transparent)
        av_dict_set(&stream.metadata, "alpha_mode", "1", 0);
}
