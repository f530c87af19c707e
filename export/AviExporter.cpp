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

namespace {

// A frame ready for the writer: its bitmap, and for a codec its conversion.
class PreparedAviFrame : public PreparedFrame {
public:
    std::vector<std::uint8_t> bits;
    AviWriter::ConvertedFrame converted;
};

} // namespace

std::unique_ptr<PreparedFrame> AviExporter::prepare(QImage frame) const {
    auto prepared = std::make_unique<PreparedAviFrame>();
    if (frame.width() != m_writer.width() || frame.height() != m_writer.height()) {
        prepared->picture = std::move(frame); // refused by the writer, in order
        return prepared;
    }
    prepared->bits = FrameBitmap::fromImage(frame);
    prepared->converted = m_writer.convert(prepared->bits.data());
    return prepared;
}

bool AviExporter::writePrepared(PreparedFrame& frame, int index) {
    auto* avi = dynamic_cast<PreparedAviFrame*>(&frame);
    if (!avi || avi->bits.empty())
        return writeFrame(frame.picture, index);
    const bool written = avi->converted ? m_writer.writeConverted(avi->converted.get(), index)
                                        : m_writer.writeFrame(avi->bits.data(), index);
    if (!written)
        m_error = kWriteError;
    return written;
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
