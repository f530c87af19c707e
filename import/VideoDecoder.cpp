#include "import/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

// Larger pictures are refused rather than allocated: a damaged header can claim any size.
constexpr int kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = 8192LL * 8192LL;
// Line alignment of the conversion target: the widest vector FFmpeg's scaler uses (64 bytes).
// With an alignment above 7 av_image_alloc also rounds the width up to 8 pixels, so that the
// converters that work in blocks of 8 pixels neither stop short of the last pixels of a line
// nor write past the end of the image.
constexpr int kLineAlign = 64;

} // namespace

VideoDecoder::VideoDecoder() = default;

VideoDecoder::~VideoDecoder() {
    close();
}

void VideoDecoder::close() {
    freeConversion();
    sws_freeContext(m_scaler);
    m_scaler = nullptr;
    av_packet_free(&m_packet);
    av_frame_free(&m_incoming);
    av_frame_free(&m_picture);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format);
    m_stream = nullptr;
    m_streamIndex = -1;
    m_width = m_height = 0;
    m_firstPts = 0;
    m_draining = false;
}

bool VideoDecoder::openInput(const char* path) {
    close();
    if (avformat_open_input(&m_format, path, nullptr, nullptr) < 0)
        return false;
    // No generated presentation times: the demuxer guesses them from the packets that follow
    // by MPEG's rule for reference pictures, which gives AVI's B-pictures times out of order.
    // The decoder times each picture from the packets instead (stampPicture).
    if (avformat_find_stream_info(m_format, nullptr) < 0)
        return false;
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (m_format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            m_streamIndex = static_cast<int>(i);
            m_stream = m_format->streams[i];
            return true;
        }
    }
    return false;
}

int VideoDecoder::codecId() const {
    return m_stream ? m_stream->codecpar->codec_id : AV_CODEC_ID_NONE;
}

bool VideoDecoder::hasDecoder() const {
    return m_stream && avcodec_find_decoder(m_stream->codecpar->codec_id) != nullptr;
}

bool VideoDecoder::openCodec() {
    if (!m_stream || m_codec)
        return false;
    const AVCodec* decoder = avcodec_find_decoder(m_stream->codecpar->codec_id);
    if (!decoder)
        return false;
    m_codec = avcodec_alloc_context3(decoder);
    if (!m_codec || avcodec_parameters_to_context(m_codec, m_stream->codecpar) < 0)
        return false;
    m_codec->pkt_timebase = m_stream->time_base;
    if (avcodec_open2(m_codec, decoder, nullptr) < 0)
        return false;
    m_width = m_codec->width;
    m_height = m_codec->height;
    return m_width > 0 && m_height > 0 && m_width <= kMaxSide && m_height <= kMaxSide &&
           static_cast<std::int64_t>(m_width) * m_height <= kMaxPixels;
}

bool VideoDecoder::allocatePictures() {
    if (!m_picture)
        m_picture = av_frame_alloc();
    if (!m_picture)
        return false;
    if (!m_incoming)
        m_incoming = av_frame_alloc();
    if (!m_packet)
        m_packet = av_packet_alloc();
    return m_incoming && m_packet;
}

void VideoDecoder::findOrigin() {
    // The first picture's time is the origin of the times asked for. Containers without
    // presentation times (AVI) stamp pictures from decode times plus the decoder's reorder
    // delay, so the first picture of a stream with B-frames is not at 0.
    std::int64_t first = AV_NOPTS_VALUE;
    if (readAndDecode(&first) == 1 && first != AV_NOPTS_VALUE)
        m_firstPts = first;
    else
        m_firstPts = toStreamTime(startTimeUs());
}

double VideoDecoder::measureDuration() {
    if (!m_format || !m_stream || !m_packet)
        return -1.0;
    // Packets come in decode order; a packet's time is its presentation time, or its decode
    // time when the demuxer gives none (raw elementary streams). Either way the span from the
    // earliest start to the latest end covers every picture once.
    std::int64_t start = std::numeric_limits<std::int64_t>::max();
    std::int64_t end = std::numeric_limits<std::int64_t>::min();
    while (av_read_frame(m_format, m_packet) >= 0) {
        if (m_packet->stream_index == m_streamIndex) {
            const std::int64_t time =
                m_packet->pts != AV_NOPTS_VALUE ? m_packet->pts : m_packet->dts;
            const std::int64_t length =
                m_packet->duration > 0 ? m_packet->duration : pictureDuration();
            // A damaged file can carry any time: one that would overflow counts as none.
            if (time != AV_NOPTS_VALUE &&
                time <= std::numeric_limits<std::int64_t>::max() - length) {
                start = std::min(start, time);
                end = std::max(end, time + length);
            }
        }
        av_packet_unref(m_packet);
    }
    if (start > end)
        return -1.0;
    if (av_seek_frame(m_format, m_streamIndex, start, AVSEEK_FLAG_BACKWARD) < 0)
        return -1.0;
    flush();
    return (static_cast<double>(end) - static_cast<double>(start)) * av_q2d(m_stream->time_base);
}

std::int64_t VideoDecoder::streamTimeAt(std::int64_t microseconds) const {
    return toStreamTime(microseconds - startTimeUs()) + m_firstPts;
}

std::int64_t VideoDecoder::startTimeUs() const {
    return m_format && m_format->start_time != AV_NOPTS_VALUE ? m_format->start_time : 0;
}

std::int64_t VideoDecoder::toStreamTime(std::int64_t microseconds) const {
    return av_rescale_q_rnd(microseconds, AV_TIME_BASE_Q, m_stream->time_base,
                            static_cast<AVRounding>(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
}

int VideoDecoder::seekTo(std::int64_t microseconds) {
    const std::int64_t streamTarget = streamTimeAt(microseconds);
    const std::int64_t start = std::min(startTimeUs(), microseconds);
    std::int64_t backoff = 0;
    bool beforeStart = false;
    for (int attempt = 0; attempt < 13; ++attempt) {
        // Back from the time towards the start. A demuxer that searches timestamps can land
        // after the first key picture when asked for the start time itself (MPEG program
        // streams, whose first picture is decoded before it is shown); then one more seek, to
        // a second before the start, takes it to the first key picture where it can.
        const std::int64_t seekUs =
            beforeStart ? start - AV_TIME_BASE : std::max(microseconds - backoff, start);
        if (!seekBackward(seekUs)) {
            if (attempt == 0)
                return -1;
            // Here only a seek before the start can fail: the picture from the start stays.
            return hasPicture() ? 1 : 0;
        }
        const int result = decodeTo(streamTarget);
        if (result < 0)
            return result;
        if (result == 1) {
            const std::int64_t pts = picturePts();
            if (pts == AV_NOPTS_VALUE || pts <= streamTarget || beforeStart)
                return 1;
        } else if (beforeStart) {
            return 0;
        }
        beforeStart = seekUs <= start;
        backoff = backoff == 0 ? AV_TIME_BASE : backoff * 2;
    }
    return hasPicture() ? 1 : 0;
}

bool VideoDecoder::seekBackward(std::int64_t microseconds) {
    if (!m_format || !m_codec)
        return false;
    if (av_seek_frame(m_format, -1, microseconds, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    flush();
    return true;
}

void VideoDecoder::flush() {
    // Drops the decoder's reference pictures too: only right after a seek, so that inter
    // frames are never decoded against a missing reference.
    if (m_codec)
        avcodec_flush_buffers(m_codec);
    if (m_picture)
        av_frame_unref(m_picture);
    m_pictureTime = AV_NOPTS_VALUE;
    m_draining = false;
}

int VideoDecoder::readAndDecode(std::int64_t* pts) {
    if (!m_codec || !m_picture)
        return -1;
    for (;;) {
        const int received = avcodec_receive_frame(m_codec, m_incoming);
        if (received == 0) {
            av_frame_unref(m_picture);
            av_frame_move_ref(m_picture, m_incoming);
            stampPicture();
            if (pts)
                *pts = m_pictureTime;
            return 1;
        }
        if (received == AVERROR_EOF)
            return 0;
        if (received != AVERROR(EAGAIN))
            return -1;
        if (m_draining)
            return 0;
        if (av_read_frame(m_format, m_packet) < 0) {
            if (m_format->pb && m_format->pb->error)
                return -1;
            // End of the file: let the decoder hand out the pictures it still holds.
            avcodec_send_packet(m_codec, nullptr);
            m_draining = true;
            continue;
        }
        if (m_packet->stream_index == m_streamIndex)
            sendPacket();
        av_packet_unref(m_packet);
    }
}

bool VideoDecoder::hasPicture() const {
    return m_picture && m_picture->data[0] != nullptr;
}

std::int64_t VideoDecoder::picturePts() const {
    return hasPicture() ? m_pictureTime : AV_NOPTS_VALUE;
}

void VideoDecoder::sendPacket() {
    // The decoder hands the value back on the picture decoded from this packet: the
    // picture's own decode time.
    m_codec->reordered_opaque = m_packet->dts;
    // A damaged packet is skipped; the decoder goes on with the next one.
    avcodec_send_packet(m_codec, m_packet);
}

bool VideoDecoder::guessedTime(const AVFrame* picture) const {
    // While the stream is probed the demuxer times packets before the decoder has said that it
    // holds pictures back, and gives them their decode time as presentation time. A reference
    // picture that is held back is never shown at its own decode time, so such a time is that
    // guess (MPEG-2 in ASF: the first picture only, one picture early against all others).
    return m_codec->has_b_frames > 0 && picture->pict_type != AV_PICTURE_TYPE_B &&
           picture->reordered_opaque != AV_NOPTS_VALUE && picture->pts == picture->reordered_opaque;
}

void VideoDecoder::stampPicture() {
    // The presentation time the picture's own packet carried; else the decode time of the
    // packet that made the decoder give the picture out; else one picture after the previous
    // (the pictures the decoder still held at the end of the file).
    const std::int64_t previous = m_pictureTime;
    if (m_picture->pts != AV_NOPTS_VALUE && !guessedTime(m_picture))
        m_pictureTime = m_picture->pts;
    else if (m_picture->pkt_dts != AV_NOPTS_VALUE)
        m_pictureTime = m_picture->pkt_dts;
    else if (previous != AV_NOPTS_VALUE)
        m_pictureTime = previous + pictureDuration();
    else
        m_pictureTime = AV_NOPTS_VALUE;
}

std::int64_t VideoDecoder::pictureDuration() const {
    AVRational rate = m_stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = m_stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return hasPicture() && m_picture->pkt_duration > 0 ? m_picture->pkt_duration : 1;
    return std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(rate), m_stream->time_base));
}

int VideoDecoder::decodeTo(std::int64_t streamTime) {
    for (;;) {
        if (hasPicture()) {
            const std::int64_t pts = picturePts();
            if (pts == AV_NOPTS_VALUE || pts + pictureDuration() > streamTime)
                return 1;
        }
        const int result = readAndDecode(nullptr);
        if (result <= 0)
            return hasPicture() && result == 0 ? 1 : result;
    }
}

void VideoDecoder::freeConversion() {
    av_freep(&m_converted[0]);
    std::fill(std::begin(m_converted), std::end(m_converted), nullptr);
    m_convertedFormat = -1;
}

bool VideoDecoder::prepareConversion(int pixelFormat) {
    if (pixelFormat != AV_PIX_FMT_RGB24 && pixelFormat != AV_PIX_FMT_BGR24)
        return false;
    if (m_convertedFormat == pixelFormat)
        return true;
    freeConversion();
    if (m_width <= 0 || m_height <= 0)
        return false;
    if (av_image_alloc(m_converted, m_convertedLines, m_width, m_height,
                       static_cast<AVPixelFormat>(pixelFormat), kLineAlign) < 0)
        return false;
    m_convertedFormat = pixelFormat;
    return true;
}

bool VideoDecoder::convertTo(int pixelFormat, std::uint8_t* pixels, int stride) {
    if (!hasPicture() || m_picture->width <= 0 || m_picture->height <= 0 || !pixels ||
        stride < m_width * 3 || !prepareConversion(pixelFormat))
        return false;
    // A damaged stream may change its picture size midway: such pictures are scaled to the
    // size the reader announced, so the caller's buffer always fits.
    m_scaler = sws_getCachedContext(m_scaler, m_picture->width, m_picture->height,
                                    static_cast<AVPixelFormat>(m_picture->format), m_width,
                                    m_height, static_cast<AVPixelFormat>(pixelFormat), SWS_BICUBIC,
                                    nullptr, nullptr, nullptr);
    if (!m_scaler)
        return false;
    if (sws_scale(m_scaler, m_picture->data, m_picture->linesize, 0, m_picture->height, m_converted,
                  m_convertedLines) <= 0)
        return false;
    const std::size_t row = static_cast<std::size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(pixels + static_cast<std::size_t>(y) * stride,
                    m_converted[0] + static_cast<std::size_t>(y) * m_convertedLines[0], row);
    return true;
}
