#include "export/FfmpegExporter.h"

#include "export/FramePixels.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

std::string describe(int result) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, text, sizeof text);
    return text;
}

// A frame converted for the encoder; null when the stage frame could not be converted.
class PreparedVideoFrame : public PreparedFrame {
public:
    ~PreparedVideoFrame() override { av_frame_free(&frame); }
    AVFrame* frame = nullptr;
};

// A frame of `format` at `width` x `height` in FFmpeg's own buffers: rows aligned and padded,
// so that the converters may read and write whole vector blocks past a row's last pixel.
AVFrame* allocateFrame(AVPixelFormat format, int width, int height) {
    AVFrame* frame = av_frame_alloc();
    if (!frame)
        return nullptr;
    frame->format = format;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame, 0) < 0)
        av_frame_free(&frame);
    return frame;
}

} // namespace

FfmpegExporter::FfmpegExporter(std::string name, std::string muxer, std::string encoder,
                               const ExportSettings& settings)
    : m_name(std::move(name)), m_muxer(std::move(muxer)), m_encoder(std::move(encoder)),
      m_settings(settings) {}

FfmpegExporter::~FfmpegExporter() {
    release();
}

void FfmpegExporter::setThreads(int threads) {
    m_threads = std::max(1, threads);
}

void FfmpegExporter::codedSize(int&, int&) const {}

bool FfmpegExporter::fail(const std::string& what, int result) {
    return fail(result < 0 ? what + ": " + describe(result) : what);
}

bool FfmpegExporter::open(const std::string& path, int width, int height, int frameRate) {
    release();
    clearError();
    m_path = path;
    const std::string cannotWrite = "Cannot write the " + m_name + " file " + path;
    if (width <= 0 || height <= 0 || frameRate <= 0)
        return fail(cannotWrite + ": the stage has no size or no frame rate", 0);
    const AVCodec* encoder = avcodec_find_encoder_by_name(m_encoder.c_str());
    if (!encoder)
        return fail("Cannot write " + m_name + " files: this FFmpeg build has no " + m_encoder +
                        " encoder",
                    0);
    m_width = m_codedWidth = width;
    m_height = m_codedHeight = height;
    m_frameRate = frameRate;
    codedSize(m_codedWidth, m_codedHeight);

    AVFormatContext* format = nullptr;
    const int made =
        avformat_alloc_output_context2(&format, nullptr, m_muxer.c_str(), path.c_str());
    m_format.reset(format);
    if (made < 0 || !m_format)
        return fail("Cannot write " + m_name + " files: this FFmpeg build has no " + m_muxer +
                        " muxer",
                    made);
    // No random identifiers or version strings: equal frames give equal files.
    m_format->flags |= AVFMT_FLAG_BITEXACT;
    const int opened = avio_open(&m_format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        release();
        return fail(cannotWrite, opened);
    }
    AVDictionary* muxerOptions = nullptr;
    const bool ready = openEncoder(&muxerOptions);
    av_dict_free(&muxerOptions);
    if (!ready) {
        release();
        QFile::remove(QString::fromLocal8Bit(path.c_str()));
    }
    return ready;
}

bool FfmpegExporter::openEncoder(AVDictionary** muxerOptions) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(m_encoder.c_str());
    m_stream = avformat_new_stream(m_format.get(), nullptr);
    m_codec.reset(avcodec_alloc_context3(encoder));
    m_packet.reset(av_packet_alloc());
    if (!m_stream || !m_codec || !m_packet)
        return fail("Cannot write the " + m_name + " file " + m_path, AVERROR(ENOMEM));
    m_codec->width = m_codedWidth;
    m_codec->height = m_codedHeight;
    m_codec->pix_fmt = static_cast<AVPixelFormat>(pixelFormat());
    // One tick of the time base per frame: the muxers keep it (or a multiple of it), so no
    // frame is dropped or shown twice.
    m_codec->time_base = AVRational{1, m_frameRate};
    m_codec->framerate = AVRational{m_frameRate, 1};
    m_codec->thread_count = m_threads;
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* codecOptions = nullptr;
    configure(*m_codec, &codecOptions, muxerOptions, *m_stream);
    const int opened = avcodec_open2(m_codec.get(), encoder, &codecOptions);
    av_dict_free(&codecOptions);
    if (opened < 0)
        return fail("Cannot write the " + m_name + " file: the " + m_encoder +
                        " encoder refuses its settings",
                    opened);
    const int copied = avcodec_parameters_from_context(m_stream->codecpar, m_codec.get());
    if (copied < 0)
        return fail("Cannot write the " + m_name + " file " + m_path, copied);
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;
    m_stream->r_frame_rate = m_codec->framerate;
    const int header = avformat_write_header(m_format.get(), muxerOptions);
    if (header < 0)
        return fail("Cannot write the " + m_name + " file " + m_path, header);
    m_headerWritten = true;
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(m_codec->pix_fmt);
    m_keepsAlpha = descriptor && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
    return true;
}

SwsContext* FfmpegExporter::takeScaler() const {
    {
        std::lock_guard lock(m_scalersMutex);
        if (!m_scalers.empty()) {
            SwsContext* scaler = m_scalers.back();
            m_scalers.pop_back();
            return scaler;
        }
    }
    // Same size in and out: only the colour conversion. Chroma is averaged over each 2 x 2
    // block (the area filter) with exact rounding; BT.601 limited range for YUV.
    return sws_getContext(m_codedWidth, m_codedHeight, AV_PIX_FMT_BGRA, m_codedWidth, m_codedHeight,
                          static_cast<AVPixelFormat>(pixelFormat()), SWS_AREA | SWS_ACCURATE_RND,
                          nullptr, nullptr, nullptr);
}

void FfmpegExporter::returnScaler(SwsContext* scaler) const {
    std::lock_guard lock(m_scalersMutex);
    m_scalers.push_back(scaler);
}

std::unique_ptr<PreparedFrame> FfmpegExporter::prepare(QImage frame) const {
    auto prepared = std::make_unique<PreparedVideoFrame>();
    if (frame.width() != m_width || frame.height() != m_height || !m_codec)
        return prepared;
    // QImage's ARGB32 and RGB32 hold B, G, R, A bytes in memory: FFmpeg's BGRA.
    const QImage pixels = FramePixels::forOutput(frame, m_keepsAlpha, m_settings.background);
    AVFrame* source = allocateFrame(AV_PIX_FMT_BGRA, m_codedWidth, m_codedHeight);
    AVFrame* converted = allocateFrame(m_codec->pix_fmt, m_codedWidth, m_codedHeight);
    SwsContext* scaler = source && converted ? takeScaler() : nullptr;
    if (scaler) {
        const std::uint32_t padding = m_settings.background | 0xFF000000u;
        const std::size_t row = static_cast<std::size_t>(m_width) * 4;
        for (int y = 0; y < m_codedHeight; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(source->data[0] +
                                                          std::ptrdiff_t(y) * source->linesize[0]);
            if (y < m_height) {
                std::memcpy(line, pixels.constScanLine(y), row);
                std::fill(line + m_width, line + m_codedWidth, padding);
            } else {
                std::fill(line, line + m_codedWidth, padding);
            }
        }
        sws_scale(scaler, source->data, source->linesize, 0, m_codedHeight, converted->data,
                  converted->linesize);
        returnScaler(scaler);
        prepared->frame = converted;
        converted = nullptr;
    }
    av_frame_free(&source);
    av_frame_free(&converted);
    prepared->picture = std::move(frame);
    return prepared;
}

bool FfmpegExporter::writePrepared(PreparedFrame& frame, int index) {
    if (!m_headerWritten)
        return fail("The " + m_name + " file is not open", 0);
    std::unique_ptr<PreparedFrame> made;
    PreparedVideoFrame* video = own<PreparedVideoFrame>(frame, made);
    if (!video || !video->frame)
        return fail("Writing the " + m_name + " file " + m_path + " failed: frame " +
                        std::to_string(index) +
                        " could not be converted (not of the stage's size, or no memory)",
                    0);
    video->frame->pts = index;
    return encode(video->frame);
}

bool FfmpegExporter::encode(const AVFrame* frame) {
    const std::string failed = "Writing the " + m_name + " file " + m_path + " failed";
    const int sent = avcodec_send_frame(m_codec.get(), frame);
    if (sent < 0)
        return fail(failed, sent);
    for (;;) {
        const int received = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return fail(failed, received);
        if (m_packet->duration <= 0)
            m_packet->duration = 1; // each frame lasts one tick of the codec's time base
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        const int written = av_interleaved_write_frame(m_format.get(), m_packet.get());
        if (written < 0)
            return fail(failed, written);
    }
}

bool FfmpegExporter::finish() {
    if (!m_headerWritten)
        return fail("The " + m_name + " file is not open", 0);
    const std::string failed = "Writing the " + m_name + " file " + m_path + " failed";
    bool ok = encode(nullptr);
    if (ok) {
        const int trailer = av_write_trailer(m_format.get());
        if (trailer < 0)
            ok = fail(failed, trailer);
    }
    m_headerWritten = false;
    if (ok && m_format->pb) {
        avio_flush(m_format->pb);
        if (m_format->pb->error < 0)
            ok = fail(failed, m_format->pb->error);
        const int closed = avio_closep(&m_format->pb);
        if (ok && closed < 0)
            ok = fail(failed, closed);
    }
    release();
    return ok;
}

void FfmpegExporter::abort() {
    release();
}

void FfmpegExporter::CloseOutput::operator()(AVFormatContext* format) const {
    if (format->pb)
        avio_closep(&format->pb);
    avformat_free_context(format);
}

void FfmpegExporter::FreeCodec::operator()(AVCodecContext* codec) const {
    avcodec_free_context(&codec);
}

void FfmpegExporter::FreePacket::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}

void FfmpegExporter::release() {
    m_packet.reset();
    m_codec.reset();
    m_format.reset();
    m_stream = nullptr;
    m_headerWritten = false;
    // No frame is being prepared now: the converters of this size go.
    std::lock_guard lock(m_scalersMutex);
    for (SwsContext* scaler : m_scalers)
        sws_freeContext(scaler);
    m_scalers.clear();
}
