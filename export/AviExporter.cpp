#include "export/AviExporter.h"

#include "export/FrameBitmap.h"

bool AviExporter::open(const std::string& path, int width, int height, int frameRate) {
    m_error.clear();
    if (!m_writer.open(path) || !m_writer.createStream(frameRate, width, height)) {
        m_writer.discard();
        m_error = kWriteError;
        return false;
    }
    const std::optional<AviCompressOptions> options = m_choose ? m_choose() : AviCompressOptions{};
    if (!options) { // cancelled: no message, and the file made for the export is removed
        m_writer.discard();
        return false;
    }
    if (!m_writer.setCompression(*options)) {
        m_writer.discard();
        m_error = kWriteError;
        return false;
    }
    return true;
}

bool AviExporter::writeFrame(const QImage& frame, int index) {
    if (frame.width() != m_writer.width() || frame.height() != m_writer.height()) {
        m_error = kWriteError;
        return false;
    }
    const std::vector<std::uint8_t> bits = FrameBitmap::fromImage(frame);
    if (!m_writer.writeFrame(bits.data(), index)) {
        m_error = kWriteError;
        return false;
    }
    return true;
}

bool AviExporter::finish() {
    if (!m_writer.close()) {
        m_error = kWriteError;
        return false;
    }
    return true;
}

void AviExporter::abort() {
    m_writer.discard();
}
