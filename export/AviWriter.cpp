#include "export/AviWriter.h"

#include "export/FrameBitmap.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* const kCodecs[] = {"rawvideo", "mjpeg", "mpeg4", "ffv1", "libx264"};

// The encoder's first pixel format, unless the picture has an odd side and that format
// halves chroma that way; then its first format that does not (4:2:0 needs even sizes).
// FFV1 is chosen for lossless output: it codes the bitmap's RGB directly.
AVPixelFormat pixelFormatFor(const AVCodec* encoder, int width, int height) {
    const AVPixelFormat* formats = encoder->pix_fmts;
    if (!formats)
        return AV_PIX_FMT_YUV420P;
    if (encoder->id == AV_CODEC_ID_FFV1) {
        for (const AVPixelFormat* f = formats; *f != AV_PIX_FMT_NONE; ++f)
            if (*f == AV_PIX_FMT_0RGB32)
                return *f;
    }
    for (const AVPixelFormat* f = formats; *f != AV_PIX_FMT_NONE; ++f) {
        const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(*f);
        const bool fits = d && (width % 2 == 0 || d->log2_chroma_w == 0) &&
                          (height % 2 == 0 || d->log2_chroma_h == 0);
        if (fits)
            return *f;
    }
    return formats[0];
}

} // namespace

void AviWriter::FrameDeleter::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
    release();
}

std::vector<std::string> AviWriter::availableCodecs() {
    std::vector<std::string> codecs;
    for (const char* name : kCodecs)
        if (avcodec_find_encoder_by_name(name))
            codecs.emplace_back(name);
    return codecs;
}

int AviWriter::frameBytes() const {
    return FrameBitmap::strideFor(m_width) * m_height;
}

bool AviWriter::fail(int result) {
    m_lastResult = result < 0 ? result : AVERROR_UNKNOWN;
    return false;
}

bool AviWriter::open(const std::string& path) {
    release();
    m_lastResult = 0;
    m_path = path;
    const int made = avformat_alloc_output_context2(&m_format, nullptr, "avi", path.c_str());
    if (made < 0 || !m_format)
        return fail(made);
    const int opened = avio_open(&m_format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0)
        return fail(opened);
    return true;
}

bool AviWriter::createStream(int frameRate, int width, int height) {
    if (!m_format || frameRate <= 0 || width <= 0 || height <= 0)
        return fail(AVERROR(EINVAL));
    m_stream = avformat_new_stream(m_format, nullptr);
    if (!m_stream)
        return fail(AVERROR(ENOMEM));
    // One sample per frame: rate = frame rate, scale = 1.
    m_stream->time_base = AVRational{1, frameRate};
    m_stream->avg_frame_rate = AVRational{frameRate, 1};
    m_frameRate = frameRate;
    m_width = width;
    m_height = height;
    return true;
}

bool AviWriter::setCompression(const AviCompressOptions& options) {
    if (!m_stream)
        return fail(AVERROR(EINVAL));
    AVCodecParameters* par = m_stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->width = m_width;
    par->height = m_height;
    AVDictionary* muxerOptions = nullptr;
    if (options.codec == "rawvideo") {
        // Uncompressed: the bitmaps go in as they are, a BI_RGB stream with a positive
        // height (bottom-up rows padded to 4 bytes).
        par->codec_id = AV_CODEC_ID_RAWVIDEO;
        par->codec_tag = 0;
        par->format = AV_PIX_FMT_BGR24;
        par->bits_per_coded_sample = 24;
        av_dict_set(&muxerOptions, "flipped_raw_rgb", "1", 0);
    } else {
        const AVCodec* encoder = avcodec_find_encoder_by_name(options.codec.c_str());
        if (!encoder)
            return fail(AVERROR_ENCODER_NOT_FOUND);
        m_codec = avcodec_alloc_context3(encoder);
        if (!m_codec)
            return fail(AVERROR(ENOMEM));
        m_codec->width = m_width;
        m_codec->height = m_height;
        m_codec->pix_fmt = pixelFormatFor(encoder, m_width, m_height);
        m_codec->time_base = m_stream->time_base;
        m_codec->framerate = m_stream->avg_frame_rate;
        if (options.keyFrameEvery > 0)
            m_codec->gop_size = options.keyFrameEvery;
        if (options.bytesPerSecond > 0) {
            m_codec->bit_rate = static_cast<std::int64_t>(options.bytesPerSecond) * 8;
        } else if (options.quality >= 0) {
            const int quality = std::clamp(options.quality, 0, 10000);
            if (encoder->id == AV_CODEC_ID_H264) {
                // Constant rate factor 51 (worst) .. 0 (lossless).
                av_opt_set_int(m_codec->priv_data, "crf", 51 - quality * 51 / 10000, 0);
            } else {
                // Fixed quantiser 31 (worst) .. 2 (best).
                m_codec->flags |= AV_CODEC_FLAG_QSCALE;
                m_codec->global_quality = (31 - quality * 29 / 10000) * FF_QP2LAMBDA;
            }
        }
        // Motion JPEG keeps the full range of the bitmap's colours. With a fixed quantiser its
        // pictures are coded each on its own, so frame threads give the same bytes as one
        // thread; under rate control each thread's budget depends on the others', so it stays
        // on one thread.
        if (encoder->id == AV_CODEC_ID_MJPEG) {
            m_codec->color_range = AVCOL_RANGE_JPEG;
            const bool fixedQuantiser = (m_codec->flags & AV_CODEC_FLAG_QSCALE) != 0;
            if (fixedQuantiser && m_encoderThreads > 1 &&
                (encoder->capabilities & AV_CODEC_CAP_FRAME_THREADS)) {
                m_codec->thread_count = m_encoderThreads;
                m_codec->thread_type = FF_THREAD_FRAME;
            }
        }
        const int opened = avcodec_open2(m_codec, encoder, nullptr);
        if (opened < 0)
            return fail(opened);
        const int copied = avcodec_parameters_from_context(par, m_codec);
        if (copied < 0)
            return fail(copied);
        SwsContext* scaler =
            sws_getContext(m_width, m_height, AV_PIX_FMT_BGR24, m_width, m_height, m_codec->pix_fmt,
                           SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!scaler)
            return fail(AVERROR(EINVAL));
        m_scalers.push_back(scaler);
    }
    m_packet = av_packet_alloc();
    if (!m_packet)
        return fail(AVERROR(ENOMEM));
    const int header = avformat_write_header(m_format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (header < 0)
        return fail(header);
    m_headerWritten = true;
    return true;
}

bool AviWriter::encode(const AVFrame* frame) {
    const int sent = avcodec_send_frame(m_codec, frame);
    if (sent < 0)
        return fail(sent);
    for (;;) {
        const int result = avcodec_receive_packet(m_codec, m_packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return fail(result);
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        const int written = av_interleaved_write_frame(m_format, m_packet);
        if (written < 0)
            return fail(written);
    }
}

bool AviWriter::writeFrame(const std::uint8_t* bits, int frameIndex) {
    if (!m_headerWritten || !bits)
        return fail(AVERROR(EINVAL));
    if (!m_codec) {
        const int made = av_new_packet(m_packet, frameBytes());
        if (made < 0)
            return fail(made);
        std::copy(bits, bits + frameBytes(), m_packet->data);
        m_packet->pts = m_packet->dts = frameIndex;
        m_packet->duration = 1;
        m_packet->flags |= AV_PKT_FLAG_KEY;
        m_packet->stream_index = m_stream->index;
        const int written = av_interleaved_write_frame(m_format, m_packet);
        return written < 0 ? fail(written) : true;
    }
    const ConvertedFrame frame = convert(bits);
    if (!frame)
        return fail(AVERROR(ENOMEM));
    return writeConverted(frame.get(), frameIndex);
}

AviWriter::ConvertedFrame AviWriter::convert(const std::uint8_t* bits) const {
    if (!m_codec || !bits)
        return nullptr;
    // The bitmap turned top row first in a frame with FFmpeg's line alignment and padding: the
    // scaler reads its source in whole vector blocks, past the end of a bitmap row.
    ConvertedFrame source(av_frame_alloc());
    ConvertedFrame frame(av_frame_alloc());
    if (!source || !frame)
        return nullptr;
    source->format = AV_PIX_FMT_BGR24;
    source->width = m_width;
    source->height = m_height;
    frame->format = m_codec->pix_fmt;
    frame->width = m_width;
    frame->height = m_height;
    if (av_frame_get_buffer(source.get(), 0) < 0 || av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    const int stride = FrameBitmap::strideFor(m_width);
    const std::size_t row = static_cast<std::size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(source->data[0] + static_cast<std::size_t>(y) * source->linesize[0],
                    bits + static_cast<std::size_t>(m_height - 1 - y) * stride, row);
    // A scaler of its own for this thread: one from the pool, or a new one.
    SwsContext* scaler = nullptr;
    {
        std::lock_guard lock(m_scalersMutex);
        if (!m_scalers.empty()) {
            scaler = m_scalers.back();
            m_scalers.pop_back();
        }
    }
    if (!scaler)
        scaler = sws_getContext(m_width, m_height, AV_PIX_FMT_BGR24, m_width, m_height,
                                m_codec->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler)
        return nullptr;
    sws_scale(scaler, source->data, source->linesize, 0, m_height, frame->data, frame->linesize);
    std::lock_guard lock(m_scalersMutex);
    m_scalers.push_back(scaler);
    return frame;
}

bool AviWriter::writeConverted(AVFrame* frame, int frameIndex) {
    if (!m_headerWritten || !m_codec || !frame)
        return fail(AVERROR(EINVAL));
    frame->pts = frameIndex;
    return encode(frame);
}

bool AviWriter::close() {
    if (m_headerWritten) {
        if (m_codec)
            encode(nullptr);
        const int trailer = av_write_trailer(m_format);
        if (trailer < 0)
            fail(trailer);
        m_headerWritten = false;
    }
    release();
    return m_lastResult == 0;
}

void AviWriter::discard() {
    m_headerWritten = false;
    release();
    if (!m_path.empty())
        std::remove(m_path.c_str());
}

void AviWriter::release() {
    {
        std::lock_guard lock(m_scalersMutex);
        for (SwsContext* scaler : m_scalers)
            sws_freeContext(scaler);
        m_scalers.clear();
    }
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    if (m_format && m_format->pb)
        avio_closep(&m_format->pb);
    avformat_free_context(m_format);
    m_format = nullptr;
    m_stream = nullptr;
}
