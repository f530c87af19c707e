#include "import/MediaDetReader.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/pixfmt.h>
}

#include <cmath>
#include <cstring>

namespace {

// A forward gap up to this many microseconds is decoded through instead of seeking.
constexpr std::int64_t kDecodeThroughUs = 3000000;

} // namespace

int MediaDetReader::Open(const char* path) {
    m_bits.clear();
    m_topDown.clear();
    m_streamLength = 0.0;
    m_width = m_height = m_stride = 0;
    if (!m_decoder.openInput(path) || !m_decoder.openCodec() || !m_decoder.allocatePictures())
        return 0;

    const AVStream* stream = m_decoder.stream();
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m_streamLength = stream->duration * av_q2d(stream->time_base);
    else if (m_decoder.format()->duration != AV_NOPTS_VALUE)
        m_streamLength = m_decoder.format()->duration * 0.000001;
    // Like a media detector, measure a stream whose container gives no length (raw MPEG-2
    // video): read it once for the end of its last picture.
    if (!(m_streamLength > 0.0))
        m_streamLength = m_decoder.measureDuration();
    if (!(m_streamLength > 0.0))
        return 0;
    m_decoder.findOrigin();
    if (!m_decoder.prepareConversion(AV_PIX_FMT_BGR24))
        return 0;

    m_width = m_decoder.width();
    m_height = m_decoder.height();
    // DIB rows: ((width x 24 + 31) / 32) x 4 bytes.
    m_stride = ((m_width * 24 + 31) / 32) * 4;
    m_bits.assign(static_cast<std::size_t>(m_stride) * m_height, 0);
    m_topDown.assign(static_cast<std::size_t>(m_stride) * m_height, 0);
    return 1;
}

int MediaDetReader::Grab(double seconds) {
    if (m_bits.empty())
        return 0;
    if (!(seconds >= 0.0) || seconds >= m_streamLength)
        return 0;
    // The nearest microsecond: a picture start such as 1.48 s is 1479999.99... as a double.
    const std::int64_t target = std::llround(seconds * 1000000.0) + m_decoder.startTimeUs();
    const std::int64_t streamTarget = m_decoder.streamTimeAt(target);

    // Decode forward from the picture in hand when the time lies a little after it; seek to
    // the preceding key frame otherwise.
    const std::int64_t shown = m_decoder.picturePts();
    const bool forward = m_decoder.hasPicture() && shown != AV_NOPTS_VALUE &&
                         shown <= streamTarget &&
                         streamTarget - shown <= m_decoder.toStreamTime(kDecodeThroughUs);
    const int decoded = forward ? m_decoder.decodeTo(streamTarget) : m_decoder.seekTo(target);
    if (decoded <= 0)
        return 0;
    if (!m_decoder.convertTo(AV_PIX_FMT_BGR24, m_topDown.data(), m_stride))
        return 0;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_bits.data() + static_cast<std::size_t>(m_height - 1 - y) * m_stride,
                    m_topDown.data() + static_cast<std::size_t>(y) * m_stride, m_stride);
    return 1;
}

std::vector<std::uint8_t> MediaDetReader::copyFrame() const {
    const std::size_t row = static_cast<std::size_t>(m_width) * 3;
    std::vector<std::uint8_t> out(row * m_height, 0);
    // The same bottom-up order; only the row padding is dropped.
    for (int y = 0; y < m_height; ++y)
        std::memcpy(out.data() + y * row, m_bits.data() + static_cast<std::size_t>(y) * m_stride,
                    row);
    return out;
}
