#include "export/SwfExportStep.h"

#include "export/FrameBitmap.h"

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/pixfmt.h>
}

#include <QFile>
#include <QString>

namespace {

// Fixed quantiser of the SWF video: the encoder's coarsest, as lambda 255 x 118 = 30090.
constexpr int kFixedQuantiser = 255;

} // namespace

bool SwfExportStep::open(const std::string& path, int frameRate, int width, int height,
                         int duration) {
    started(path, duration);
    m_width = width;
    m_height = height;
    m_stream = -1;
    if (duration <= 0 || !m_encoder.SetOutputFile(path.c_str())) {
        failed(kWriteError);
        return false;
    }
    m_stream = m_encoder.AddVideoStream(frameRate, width, height, AV_CODEC_ID_FLV1, 0,
                                        kFixedQuantiser, "SWF", width, height);
    if (m_stream < 0 || !m_encoder.OpenStream(m_stream) || !m_encoder.BeginFile()) {
        failed(kWriteError);
        return false;
    }
    return true;
}

bool SwfExportStep::writeFrame(const QImage& frame, int) {
    if (frame.width() != m_width || frame.height() != m_height) return false;
    const std::vector<std::uint8_t> bits = FrameBitmap::fromImage(frame);
    const std::vector<std::uint8_t> rgb = FrameBitmap::toTopDownRgb(bits.data(), m_width, m_height);
    return m_encoder.EncodeVideoFrame(m_stream, rgb.data(), AV_PIX_FMT_RGB24, m_width, m_height);
}

bool SwfExportStep::closeOutput() {
    const bool closed = m_encoder.CloseStream(m_stream);
    return m_encoder.Finish() && closed;
}

void SwfExportStep::abandonOutput() {
    m_encoder.CloseStream(m_stream);
    m_encoder.Finish();
}
