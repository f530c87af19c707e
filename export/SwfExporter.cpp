#include "export/SwfExporter.h"

#include "export/FrameBitmap.h"

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/pixfmt.h>
}

#include <QFile>

namespace {

// Fixed quantiser of the SWF video: the encoder's coarsest, as lambda 255 x 118 = 30090.
constexpr int kFixedQuantiser = 255;

} // namespace

bool SwfExporter::open(const std::string& path, int width, int height, int frameRate) {
    m_width = width;
    m_height = height;
    m_stream = -1;
    m_error.clear();
    if (m_encoder.SetOutputFile(path.c_str())) {
        m_stream = m_encoder.AddVideoStream(frameRate, width, height, AV_CODEC_ID_FLV1, 0,
                                            kFixedQuantiser, "SWF", width, height);
        if (m_stream >= 0 && m_encoder.OpenStream(m_stream) && m_encoder.BeginFile()) {
            m_open = true;
            return true;
        }
    }
    // A stream the encoder refuses must not let an export "run" into nothing.
    m_encoder.Finish();
    QFile::remove(QString::fromLocal8Bit(path.c_str()));
    m_error = kWriteError;
    return false;
}

bool SwfExporter::writeFrame(const QImage& frame, int) {
    if (!m_open || frame.width() != m_width || frame.height() != m_height) {
        m_error = kWriteError;
        return false;
    }
    const std::vector<std::uint8_t> bits = FrameBitmap::fromImage(frame);
    const std::vector<std::uint8_t> rgb = FrameBitmap::toTopDownRgb(bits.data(), m_width, m_height);
    if (!m_encoder.EncodeVideoFrame(m_stream, rgb.data(), AV_PIX_FMT_RGB24, m_width, m_height)) {
        m_error = kWriteError;
        return false;
    }
    return true;
}

bool SwfExporter::finish() {
    if (!m_open)
        return false;
    m_open = false;
    const bool closed = m_encoder.CloseStream(m_stream);
    const bool finished = m_encoder.Finish();
    if (!(closed && finished))
        m_error = kWriteError;
    return closed && finished;
}

void SwfExporter::abort() {
    if (!m_open)
        return;
    m_open = false;
    m_encoder.CloseStream(m_stream);
    m_encoder.Finish();
}
