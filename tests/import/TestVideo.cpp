#include "tests/import/TestVideo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "tests/ProgramRun.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace TestVideo {

std::vector<std::uint8_t> picture(int index, int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const int blockX = (index * 3) % std::max(1, width - 16);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            const bool block =
                x >= blockX && x < blockX + 16 && y >= height / 4 && y < height / 4 + 16;
            p[0] = block ? 255 : static_cast<std::uint8_t>(x * 200 / width);
            p[1] = block ? static_cast<std::uint8_t>((index * 37) % 256)
                         : static_cast<std::uint8_t>(y * 200 / height);
            p[2] = block ? 40 : static_cast<std::uint8_t>((index * 5) % 200);
        }
    }
    return rgb;
}

namespace {

struct Output {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    ~Output() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format && format->pb)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

bool drain(Output& out, AVStream* stream, const AVFrame* frame) {
    if (avcodec_send_frame(out.codec, frame) < 0)
        return false;
    for (;;) {
        const int result = avcodec_receive_packet(out.codec, out.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return false;
        av_packet_rescale_ts(out.packet, out.codec->time_base, stream->time_base);
        out.packet->stream_index = stream->index;
        if (av_interleaved_write_frame(out.format, out.packet) < 0)
            return false;
    }
}

} // namespace

bool write(const std::string& path, const Format& f) {
    Output out;
    const AVCodec* encoder = avcodec_find_encoder_by_name(f.encoder);
    if (!encoder)
        return false;
    if (avformat_alloc_output_context2(&out.format, nullptr, nullptr, path.c_str()) < 0)
        return false;
    AVStream* stream = avformat_new_stream(out.format, nullptr);
    out.codec = avcodec_alloc_context3(encoder);
    if (!stream || !out.codec)
        return false;
    out.codec->width = f.width;
    out.codec->height = f.height;
    out.codec->pix_fmt = encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    out.codec->time_base = AVRational{1, f.frameRate};
    out.codec->framerate = AVRational{f.frameRate, 1};
    out.codec->gop_size = f.gop;
    if (f.aspectNum > 0)
        out.codec->sample_aspect_ratio = AVRational{f.aspectNum, f.aspectDen};
    // Fine quantiser: the pictures must survive coding well enough to tell neighbours apart.
    out.codec->flags |= AV_CODEC_FLAG_QSCALE;
    out.codec->global_quality = 3 * FF_QP2LAMBDA;
    if (std::string(f.encoder) == "libx264") {
        av_opt_set(out.codec->priv_data, "preset", "veryfast", 0); // keeps B-frames
        av_opt_set(out.codec->priv_data, "crf", "18", 0);
        out.codec->flags &= ~AV_CODEC_FLAG_QSCALE;
    }
    if (out.format->oformat->flags & AVFMT_GLOBALHEADER)
        out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(out.codec, encoder, nullptr) < 0)
        return false;
    stream->time_base = out.codec->time_base;
    stream->avg_frame_rate = out.codec->framerate;
    stream->sample_aspect_ratio = out.codec->sample_aspect_ratio;
    if (avcodec_parameters_from_context(stream->codecpar, out.codec) < 0)
        return false;
    if (avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    if (avformat_write_header(out.format, nullptr) < 0)
        return false;

    out.frame = av_frame_alloc();
    out.packet = av_packet_alloc();
    out.frame->format = out.codec->pix_fmt;
    out.frame->width = f.width;
    out.frame->height = f.height;
    if (av_frame_get_buffer(out.frame, 0) < 0)
        return false;
    // The scaler reads its source in whole vector blocks: the pictures go in through a frame
    // with FFmpeg's line alignment and padding.
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> source(av_frame_alloc(),
                                                        [](AVFrame* f) { av_frame_free(&f); });
    if (!source)
        return false;
    source->format = AV_PIX_FMT_RGB24;
    source->width = f.width;
    source->height = f.height;
    if (av_frame_get_buffer(source.get(), 0) < 0)
        return false;
    out.scaler = sws_getContext(f.width, f.height, AV_PIX_FMT_RGB24, f.width, f.height,
                                out.codec->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    for (int i = 0; i < f.frames; ++i) {
        if (av_frame_make_writable(out.frame) < 0)
            return false;
        const std::vector<std::uint8_t> rgb = picture(i, f.width, f.height);
        for (int y = 0; y < f.height; ++y)
            std::memcpy(source->data[0] + static_cast<std::size_t>(y) * source->linesize[0],
                        rgb.data() + static_cast<std::size_t>(y) * f.width * 3,
                        static_cast<std::size_t>(f.width) * 3);
        sws_scale(out.scaler, source->data, source->linesize, 0, f.height, out.frame->data,
                  out.frame->linesize);
        out.frame->pts = i;
        if (!drain(out, stream, out.frame))
            return false;
    }
    if (!drain(out, stream, nullptr))
        return false;
    return av_write_trailer(out.format) >= 0;
}

std::vector<Decoded> decodeAll(const std::string& path, int frameRate) {
    std::vector<Decoded> pictures;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return pictures;
    std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> formatGuard(
        &format, avformat_close_input);
    if (avformat_find_stream_info(format, nullptr) < 0)
        return pictures;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        return pictures;
    AVStream* stream = format->streams[index];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, stream->codecpar);
    codec->pkt_timebase = stream->time_base;
    if (avcodec_open2(codec, decoder, nullptr) < 0) {
        avcodec_free_context(&codec);
        return pictures;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;
    const int w = codec->width;
    const int h = codec->height;
    // The scaler writes whole vector blocks: it converts into an FFmpeg image with aligned,
    // padded lines, and the rows are copied out of it.
    std::uint8_t* converted[4] = {};
    int convertedLines[4] = {};
    if (av_image_alloc(converted, convertedLines, w, h, AV_PIX_FMT_RGB24, 64) < 0)
        converted[0] = nullptr;
    auto receive = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            scaler = sws_getCachedContext(scaler, frame->width, frame->height,
                                          static_cast<AVPixelFormat>(frame->format), w, h,
                                          AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
            Decoded d;
            d.seconds = static_cast<double>(pictures.size()) / frameRate;
            d.rgb.resize(static_cast<std::size_t>(w) * h * 3);
            if (!scaler || !converted[0])
                continue;
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, converted,
                      convertedLines);
            for (int y = 0; y < h; ++y)
                std::memcpy(d.rgb.data() + static_cast<std::size_t>(y) * w * 3,
                            converted[0] + static_cast<std::size_t>(y) * convertedLines[0],
                            static_cast<std::size_t>(w) * 3);
            pictures.push_back(std::move(d));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index)
            avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        receive();
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    av_freep(&converted[0]);
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    return pictures;
}

const Decoded* shownAt(const std::vector<Decoded>& pictures, double seconds) {
    const Decoded* shown = nullptr;
    for (const Decoded& d : pictures)
        if (d.seconds <= seconds + 1e-9)
            shown = &d;
    return shown;
}

double meanDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    if (size == 0)
        return 0.0;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return static_cast<double>(sum) / static_cast<double>(size);
}

bool runFfmpeg(const QStringList& arguments) {
    return ProgramRun::of("/usr/bin/ffmpeg", QStringList{"-v", "error", "-y"} + arguments).ok();
}

QByteArray ffmpegPicture(const QString& path, int index, const char* pixelFormat) {
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/ffmpeg",
        {"-v", "error", "-i", path, "-vf", QString("select=eq(n\\,%1)").arg(index), "-frames:v",
         "1", "-f", "rawvideo", "-pix_fmt", pixelFormat, "-"});
    return run.ok() ? run.out : QByteArray();
}

bool heapChecking() {
    const char* check = std::getenv("MALLOC_CHECK_");
    const char* preload = std::getenv("LD_PRELOAD");
    return check && *check && preload && std::strstr(preload, "libc_malloc_debug");
}

} // namespace TestVideo
