#include "import/VideoFrameReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Above this many grabs the counter starts again at 0.
constexpr std::uint64_t kCounterWrap = 100000;

} // namespace

bool VideoFrameReader::acceptsCodec(int codecId) {
    switch (codecId) {
    case AV_CODEC_ID_MPEG2VIDEO:
    case AV_CODEC_ID_MPEG4:
    case AV_CODEC_ID_MSMPEG4V1:
    case AV_CODEC_ID_MSMPEG4V2:
    case AV_CODEC_ID_MSMPEG4V3:
        return true;
    default:
        return false;
    }
}

bool VideoFrameReader::Probe(const char* path, std::uint8_t* supported) {
    VideoDecoder probe;
    if (!probe.openInput(path) || !probe.hasDecoder() || !acceptsCodec(probe.codecId()))
        return false;
    if (supported)
        *supported = 1;
    return true;
}

double VideoFrameReader::guessDuration(std::int64_t fileSize, std::int64_t bitRate) {
    if (fileSize <= 0 || bitRate <= 0)
        return -1.0;
    const std::int64_t bytesPerSecond = bitRate / 8;
    if (bytesPerSecond <= 0)
        return -1.0;
    return static_cast<double>(fileSize) * 0.9 / static_cast<double>(bytesPerSecond);
}

bool VideoFrameReader::guessFromBitRate(double containerSeconds) {
    AVFormatContext* format = m_decoder.format();
    const std::int64_t fileSize = format->pb ? avio_size(format->pb) : -1;
    const double guess = guessDuration(fileSize, m_decoder.stream()->codecpar->bit_rate);
    if (guess <= 0.0)
        return false;
    av_log(nullptr, AV_LOG_PANIC,
           "  ** duration is unknown: %.2f; guessing: %.2f s. from bit_rate\n", containerSeconds,
           guess);
    m_duration = guess;
    return true;
}

bool VideoFrameReader::Open(const char* path) {
    m_rgb.clear();
    m_duration = 0.0;
    m_grabCounter = 0;
    m_lastTarget = 0;
    m_width = m_height = 0;
    if (!m_decoder.openInput(path) || !m_decoder.openCodec())
        return false;
    if (!m_decoder.allocatePictures()) {
        av_log(nullptr, AV_LOG_PANIC, "  couldn't allocate a video frame\n");
        return false;
    }

    const std::int64_t containerDuration = m_decoder.format()->duration;
    m_duration = containerDuration == AV_NOPTS_VALUE ? 0.0 : containerDuration * 0.000001;
    if (!(m_duration > 0.0) && !guessFromBitRate(m_duration)) {
        // Neither the container nor a bit rate gives the length (raw MPEG-2 video streams):
        // read the stream once for the end of its last picture, as players do.
        m_duration = m_decoder.measureDuration();
        if (!(m_duration > 0.0))
            return false;
    }
    m_decoder.findOrigin();

    const int width = m_decoder.width();
    const int height = m_decoder.height();
    const AVRational aspect = m_decoder.codec()->sample_aspect_ratio;
    if (aspect.num != 0 && aspect.den != 0) {
        const double ratio = av_q2d(aspect);
        if (ratio > 1.001 || ratio < 0.999) {
            // Only reported: the frames keep their coded size.
            av_log(nullptr, AV_LOG_PANIC,
                   "  * scaling input * %dx%d => %dx%d according to sample_aspect_ratio %d/%d\n",
                   width, height, static_cast<int>(width * ratio + 0.5), height, aspect.num,
                   aspect.den);
        }
    }
    if (!m_decoder.prepareConversion(AV_PIX_FMT_RGB24))
        return false;
    m_width = width;
    m_height = height;
    m_rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
    return true;
}

std::int64_t VideoFrameReader::targetMicroseconds(double seconds) const {
    // The nearest microsecond: truncating would put a picture start such as 1.48 s, which is
    // 1479999.99... microseconds as a double, into the picture before.
    return std::llround(seconds * 1000000.0) + m_decoder.startTimeUs();
}

bool VideoFrameReader::convert() {
    return m_decoder.convertTo(AV_PIX_FMT_RGB24, m_rgb.data(), m_width * 3);
}

bool VideoFrameReader::SeekGrab(double seconds) {
    if (m_rgb.empty() || !(seconds >= -1.0e9 && seconds <= 1.0e9))
        return false;
    const std::int64_t target = targetMicroseconds(seconds);
    m_lastTarget = target;
    if (m_decoder.seekTo(target) <= 0)
        return false;
    return convert();
}

bool VideoFrameReader::StepGrab(double seconds) {
    if (m_rgb.empty() || !(seconds >= -1.0e9 && seconds <= 1.0e9))
        return false;
    // One frame of the stream's time base, in microseconds, and frames per second. A time
    // base finer than a microsecond or coarser than a second is clamped (division by zero).
    const AVRational base = m_decoder.stream()->time_base;
    if (base.num <= 0 || base.den <= 0)
        return false;
    const std::int64_t frameUs =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(base.num) * 1000000 / base.den);
    const std::int64_t fps = std::max(1, base.den / base.num);

    const std::int64_t target = targetMicroseconds(seconds);
    const std::int64_t steps = (target - m_lastTarget) / frameUs;
    m_lastTarget = target;

    const std::int64_t streamTarget = m_decoder.streamTimeAt(target);
    const std::int64_t shownPts = m_decoder.picturePts();
    // Besides the fixed rules, a target before the picture in hand needs a seek: decoding
    // only goes forward.
    const bool behind =
        !m_decoder.hasPicture() || (shownPts != AV_NOPTS_VALUE && streamTarget < shownPts);
    const bool seek = m_grabCounter % static_cast<std::uint64_t>(fps) == 0 ||
                      std::llabs(steps) > 30 * fps ||
                      (target - m_decoder.startTimeUs()) / frameUs < fps || behind;
    if (++m_grabCounter > kCounterWrap)
        m_grabCounter = 0;
    if (seek) {
        if (m_decoder.seekTo(target) <= 0)
            return false;
    } else if (m_decoder.picturePts() == AV_NOPTS_VALUE) {
        // Without presentation times the gap is bridged by counting frames.
        if (steps >= 2 && steps <= 14) {
            for (std::int64_t i = 0; i < steps - 1; ++i)
                if (m_decoder.readAndDecode(nullptr) < 0)
                    return false;
        }
        if (m_decoder.readAndDecode(nullptr) < 0)
            return false;
    } else if (m_decoder.decodeTo(streamTarget) <= 0) {
        return false;
    }
    return convert();
}

std::vector<std::uint8_t> VideoFrameReader::copyFrame() const {
    std::vector<std::uint8_t> out(m_rgb.size(), 0);
    const std::size_t w = static_cast<std::size_t>(m_width);
    const std::size_t h = static_cast<std::size_t>(m_height);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* source = m_rgb.data() + (h - 1 - y) * w * 3;
        std::uint8_t* target = out.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            target[x * 3 + 0] = source[x * 3 + 2];
            target[x * 3 + 1] = source[x * 3 + 1];
            target[x * 3 + 2] = source[x * 3 + 0];
        }
    }
    return out;
}
