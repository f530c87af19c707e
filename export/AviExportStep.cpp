#include "export/AviExportStep.h"

#include "export/FrameBitmap.h"

bool AviExportStep::open(const std::string& path, int frameRate, int width, int height,
                         int duration, const CodecChooser& choose) {
    started(path, duration);
    if (duration <= 0 || !m_writer.open(path) || !m_writer.createStream(frameRate, width, height)) {
        failed(kWriteError);
        return false;
    }
    const std::optional<AviCompressOptions> options = choose ? choose() : AviCompressOptions{};
    if (!options) {
        // Cancelled: no message, and the file made for the export does not stay behind.
        failed(std::string());
        return false;
    }
    if (!m_writer.setCompression(*options)) {
        failed(kWriteError);
        return false;
    }
    return true;
}

bool AviExportStep::writeFrame(const QImage& frame, int index) {
    if (frame.width() != m_writer.width() || frame.height() != m_writer.height()) return false;
    const std::vector<std::uint8_t> bits = FrameBitmap::fromImage(frame);
    return m_writer.writeFrame(bits.data(), index);
}
