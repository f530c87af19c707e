#include "export/GifExporter.h"

#include "gif/COctreeQuantizer.h"
#include "gif/CxIOFile.h"
#include "gif/ErrorDiffusion.h"
#include "stage/StageWorker.h"

#include <algorithm>
#include <array>

GifExporter::GifExporter(int loopSetting, GifQuality quality, const BestGifEncoder::Settings& best,
                         int colours)
    : m_loopSetting(loopSetting), m_quality(quality), m_colours(std::clamp(colours, 2, 256)),
      m_bestSettings(best) {}

GifExporter::~GifExporter() {
    close();
}

std::uint32_t GifExporter::frameDelay(int frameRate) {
    return static_cast<std::uint32_t>(StageWorker::sleepMilliseconds(frameRate) / 10);
}

bool GifExporter::open(const std::string& path, int, int, int frameRate) {
    close();
    m_error.clear();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        m_error = "Cannot write the GIF file " + path;
        return false;
    }
    m_stream = std::make_unique<CxIOFile>(m_file);
    m_delay = frameDelay(frameRate);
    if (m_quality == GifQuality::Best) {
        m_best = std::make_unique<BestGifEncoder>(m_bestSettings);
        m_bestWritten = 0;
    }
    return true;
}

CxImage GifExporter::prepareFrame(const QImage& frame, std::uint32_t delay, int colours) {
    // Palette: `colours` (256 unless a size budget lowered it) from a 7-bit octree, unused
    // entries zero.
    COctreeQuantizer quantizer(colours, 7);
    quantizer.BuildFromImage(frame);
    std::array<COctreeQuantizer::RGBQuad, 256> quads{};
    quantizer.FillPalette(quads.data());
    std::array<RGBQUAD, 256> palette{};
    std::array<std::uint32_t, 256> rgb{};
    for (std::size_t i = 0; i < quads.size(); ++i) {
        palette[i] = {quads[i].blue, quads[i].green, quads[i].red, 0};
        rgb[i] = (std::uint32_t(quads[i].red) << 16) | (quads[i].green << 8) | quads[i].blue;
    }
    CxImage picture;
    if (!picture.Create(frame.width(), frame.height(), 8))
        return picture;
    picture.SetPalette(palette.data(), 256);
    ErrorDiffusion::reduce(frame, rgb.data(), colours, picture.topRow(0),
                           frame.height() > 1 ? int(picture.topRow(1) - picture.topRow(0)) : 0);
    picture.SetTransIndex(-1);
    picture.SetFrameDelay(delay);
    return picture;
}

namespace {

// A classic frame: reduced to its own palette.
class PreparedGifFrame : public PreparedFrame {
public:
    CxImage reduced;
};

} // namespace

std::unique_ptr<PreparedFrame> GifExporter::prepare(QImage frame) const {
    if (m_quality == GifQuality::Best)
        return FrameExporter::prepare(std::move(frame)); // palettes span frames: in order
    auto prepared = std::make_unique<PreparedGifFrame>();
    prepared->reduced = prepareFrame(frame, m_delay, m_colours);
    return prepared;
}

bool GifExporter::writePrepared(PreparedFrame& frame, int index) {
    if (auto* gif = dynamic_cast<PreparedGifFrame*>(&frame))
        return encodeFrame(gif->reduced, index);
    return writeFrame(frame.picture, index);
}

bool GifExporter::writeFrame(const QImage& frame, int index) {
    if (m_quality == GifQuality::Best) {
        if (!m_best) {
            m_error = "The GIF file is not open.";
            return false;
        }
        const bool added = m_best->add(frame, m_delay, [this](CxImage& picture, bool local) {
            return writeImage(picture, m_bestWritten++, local, 1);
        });
        if (!added && m_error.empty())
            m_error = m_best->error();
        return added;
    }
    CxImage picture = prepareFrame(frame, m_delay, m_colours);
    return encodeFrame(picture, index);
}

bool GifExporter::encodeFrame(CxImage& picture, int index) {
    return writeImage(picture, index, index > 0, 2);
}

bool GifExporter::writeImage(CxImage& picture, int index, bool localTable, int disposal) {
    if (!m_stream) {
        m_error = "The GIF file is not open.";
        return false;
    }
    if (!picture.IsValid()) {
        m_error = "Bad image pointer";
        return false;
    }
    m_encoder.Ghost(&picture);
    if (index == 0) {
        m_encoder.EncodeHeader(m_stream.get());
        if (m_loopSetting != 1) {
            m_encoder.SetLoops(std::max(m_loopSetting - 1, 0));
            m_encoder.EncodeLoopExtension(m_stream.get());
        }
        m_encoder.SetDisposalMethod(disposal);
        m_encoder.EncodeExtension(m_stream.get());
        m_encoder.SetComment(kComment);
        m_encoder.EncodeComment(m_stream.get());
        m_encoder.EncodeBody(m_stream.get(), false);
    } else {
        m_encoder.SetDisposalMethod(disposal);
        m_encoder.EncodeExtension(m_stream.get());
        m_encoder.EncodeBody(m_stream.get(), localTable);
    }
    if (m_stream->Error()) {
        m_error = "Write Error in GIF file";
        return false;
    }
    return true;
}

bool GifExporter::finish() {
    if (!m_stream)
        return false;
    if (m_best) {
        const bool flushed = m_best->finish([this](CxImage& picture, bool local) {
            return writeImage(picture, m_bestWritten++, local, 1);
        });
        if (!flushed) {
            if (m_error.empty())
                m_error = m_best->error();
            close(); // the file and the frames still waiting go now, not at the next export
            return false;
        }
        m_best.reset();
    }
    m_stream->PutC(0x3B); // trailer ';'
    const bool written = m_stream->Flush() && !m_stream->Error();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    m_stream.reset();
    if (!(written && closed))
        m_error = "Write Error in GIF file";
    return written && closed;
}

void GifExporter::abort() {
    close();
}

void GifExporter::close() {
    m_best.reset();
    m_stream.reset();
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}
