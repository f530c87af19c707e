#include "export/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstring>

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() {
    Finish();
}

bool VideoEncoder::SetOutputFile(const char* path) {
    Finish();
    if (avformat_alloc_output_context2(&m_format, nullptr, nullptr, path) < 0 || !m_format)
        return false;
    m_path = path;
    // Muxer delays are kept in microseconds.
    m_format->max_delay = static_cast<int>(m_options.muxMaxDelay * AV_TIME_BASE);
    return true;
}

int VideoEncoder::AddVideoStream(int frameRate, int width, int height, int codecId,
                                 std::int64_t bitRate, int fixedQuantiser, const char* target,
                                 int displayWidth, int displayHeight) {
    if (!m_format || frameRate <= 0 || width <= 0 || height <= 0)
        return -1;
    const AVCodec* encoder = avcodec_find_encoder(static_cast<AVCodecID>(codecId));
    if (!encoder || !encoder->pix_fmts)
        return -1;
    AVStream* stream = avformat_new_stream(m_format, nullptr);
    if (!stream)
        return -1;
    Stream entry;
    entry.stream = stream;
    entry.codec = avcodec_alloc_context3(encoder);
    if (!entry.codec)
        return -1;
    AVCodecContext* c = entry.codec;
    const char* formatName = m_format->oformat->name;
    if (!std::strcmp(formatName, "mp4") || !std::strcmp(formatName, "mov") ||
        !std::strcmp(formatName, "3gp"))
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    c->codec_type = AVMEDIA_TYPE_VIDEO;
    c->codec_id = encoder->id;
    c->pix_fmt = encoder->pix_fmts[0];
    c->width = width;
    c->height = height;
    c->bit_rate = bitRate;
    if (fixedQuantiser != -1) {
        // The quantiser as lambda (x 118): 255 gives a global quality of 30090.
        c->flags |= AV_CODEC_FLAG_QSCALE;
        m_quality = static_cast<float>(fixedQuantiser * FF_QP2LAMBDA);
        c->global_quality = fixedQuantiser * FF_QP2LAMBDA;
    }
    const bool mpegVideo =
        encoder->id == AV_CODEC_ID_MPEG1VIDEO || encoder->id == AV_CODEC_ID_MPEG2VIDEO;
    c->time_base =
        mpegVideo && frameRate == 29 ? AVRational{1001, 30000} : AVRational{1, frameRate};
    c->framerate = av_inv_q(c->time_base);
    if (displayWidth > 0 && displayHeight > 0) {
        av_reduce(&c->sample_aspect_ratio.num, &c->sample_aspect_ratio.den,
                  static_cast<std::int64_t>(displayWidth) * height,
                  static_cast<std::int64_t>(displayHeight) * width, 255);
    }
    c->gop_size = m_options.intraOnly ? 0 : m_options.gopSize;
    (void)target; // no MPEG preset matches the SWF target: the option record stands as it is
    c->bit_rate_tolerance = m_options.bitRateTolerance;
    c->qmin = m_options.qmin;
    c->qmax = m_options.qmax;
    c->max_qdiff = m_options.maxQdiff;
    c->qblur = m_options.qblur;
    c->qcompress = m_options.qcompress;
    // Lambda limits and the rate-control equation are options of the MPEG-family encoders.
    av_opt_set_int(c, "lmin", m_options.lmin, AV_OPT_SEARCH_CHILDREN);
    av_opt_set_int(c, "lmax", m_options.lmax, AV_OPT_SEARCH_CHILDREN);
    av_opt_set(c, "rc_eq", m_options.rcEquation, AV_OPT_SEARCH_CHILDREN);
    stream->time_base = c->time_base;
    stream->avg_frame_rate = c->framerate;
    stream->sample_aspect_ratio = c->sample_aspect_ratio;
    m_streams.push_back(entry);
    return static_cast<int>(m_streams.size()) - 1;
}

bool VideoEncoder::OpenStream(int index) {
    if (index < 0 || index >= static_cast<int>(m_streams.size()))
        return false;
    Stream& s = m_streams[index];
    if (s.open)
        return true;
    if (avcodec_open2(s.codec, s.codec->codec, nullptr) < 0)
        return false;
    if (avcodec_parameters_from_context(s.stream->codecpar, s.codec) < 0)
        return false;
    if (!m_packet)
        m_packet = av_packet_alloc();
    s.open = m_packet != nullptr;
    return s.open;
}

bool VideoEncoder::BeginFile() {
    if (!m_format || m_headerWritten)
        return false;
    av_dump_format(m_format, 0, m_path.c_str(), 1);
    if (!(m_format->oformat->flags & AVFMT_NOFILE) &&
        avio_open(&m_format->pb, m_path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    if (avformat_write_header(m_format, nullptr) < 0)
        return false;
    m_headerWritten = true;
    return true;
}

bool VideoEncoder::writePackets(Stream& s, const AVFrame* frame) {
    if (avcodec_send_frame(s.codec, frame) < 0)
        return false;
    for (;;) {
        const int result = avcodec_receive_packet(s.codec, m_packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return false;
        av_packet_rescale_ts(m_packet, s.codec->time_base, s.stream->time_base);
        m_packet->stream_index = s.stream->index;
        const int written = m_interleave ? av_interleaved_write_frame(m_format, m_packet)
                                         : av_write_frame(m_format, m_packet);
        av_packet_unref(m_packet);
        if (written < 0)
            return false;
    }
}

bool VideoEncoder::copySource(Stream& s, const std::uint8_t* pixels, int pixelFormat, int width,
                              int height) {
    AVFrame* source = s.source;
    if (!source || source->format != pixelFormat || source->width != width ||
        source->height != height) {
        av_frame_free(&s.source);
        s.source = source = av_frame_alloc();
        if (!source)
            return false;
        source->format = pixelFormat;
        source->width = width;
        source->height = height;
        if (av_frame_get_buffer(source, 0) < 0)
            return false;
    }
    if (av_frame_make_writable(source) < 0)
        return false;
    // The caller's planes, packed without padding; av_image_copy reads exactly their bytes.
    std::uint8_t* planes[4];
    int strides[4];
    const AVPixelFormat format = static_cast<AVPixelFormat>(pixelFormat);
    if (av_image_fill_arrays(planes, strides, pixels, format, width, height, 1) < 0)
        return false;
    av_image_copy(source->data, source->linesize, const_cast<const std::uint8_t**>(planes), strides,
                  format, width, height);
    return true;
}

bool VideoEncoder::EncodeVideoFrame(int index, const std::uint8_t* pixels, int pixelFormat,
                                    int width, int height) {
    if (index < 0 || index >= static_cast<int>(m_streams.size()) || !m_headerWritten)
        return false;
    Stream& s = m_streams[index];
    if (!s.open || !pixels || width <= 0 || height <= 0)
        return false;
    if (!s.converted) {
        s.converted = av_frame_alloc();
        if (!s.converted)
            return false;
        s.converted->format = s.codec->pix_fmt;
        s.converted->width = s.codec->width;
        s.converted->height = s.codec->height;
        if (av_frame_get_buffer(s.converted, 0) < 0)
            return false;
    }
    if (av_frame_make_writable(s.converted) < 0)
        return false;
    if (!copySource(s, pixels, pixelFormat, width, height))
        return false;
    s.scaler = sws_getCachedContext(
        s.scaler, width, height, static_cast<AVPixelFormat>(pixelFormat), s.codec->width,
        s.codec->height, s.codec->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!s.scaler)
        return false;
    sws_scale(s.scaler, s.source->data, s.source->linesize, 0, height, s.converted->data,
              s.converted->linesize);
    s.converted->pts = s.nextPts++;
    s.converted->quality = static_cast<int>(m_quality);
    return writePackets(s, s.converted);
}

bool VideoEncoder::CloseStream(int index) {
    if (index < 0 || index >= static_cast<int>(m_streams.size()))
        return false;
    Stream& s = m_streams[index];
    bool ok = true;
    if (s.open && m_headerWritten)
        ok = writePackets(s, nullptr);
    releaseStream(s);
    return ok;
}

void VideoEncoder::releaseStream(Stream& s) {
    sws_freeContext(s.scaler);
    s.scaler = nullptr;
    av_frame_free(&s.source);
    av_frame_free(&s.converted);
    avcodec_free_context(&s.codec);
    s.open = false;
}

bool VideoEncoder::Finish() {
    bool ok = true;
    if (m_format && m_headerWritten)
        ok = av_write_trailer(m_format) >= 0;
    for (Stream& s : m_streams)
        releaseStream(s);
    m_streams.clear();
    if (m_format && !(m_format->oformat->flags & AVFMT_NOFILE) && m_format->pb)
        avio_closep(&m_format->pb);
    avformat_free_context(m_format);
    m_format = nullptr;
    av_packet_free(&m_packet);
    m_headerWritten = false;
    return ok;
}

const AVCodecContext* VideoEncoder::codecContext(int index) const {
    if (index < 0 || index >= static_cast<int>(m_streams.size()))
        return nullptr;
    return m_streams[index].codec;
}
