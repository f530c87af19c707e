#pragma once

#include "export/BestGifEncoder.h"
#include "export/FrameExporter.h"
#include "gif/CxImage.h"
#include "gif/CxImageGIF.h"

#include <cstdio>
#include <memory>

class CxIOFile;

// How a GIF export makes its palettes and frames.
enum class GifQuality {
    Classic, // a palette per frame (octree), error diffusion, whole frames, disposal 2
    Best,    // libimagequant palettes and dithering, changed rectangles only, disposal 1
};

// GifExporter: the animated GIF output. Frame 0 writes the header with its palette as the
// global table, the loop extension, a graphic control block, the comment "Zentravo" and its
// image; later frames write a graphic control block and an image. The delay is one frame
// period in hundredths.
// Classic: every frame gets its own 256-colour palette from the octree quantizer and is
// reduced to it with error diffusion; later frames carry a local table. Disposal 2, no
// transparency.
// Best: BestGifEncoder's images: frames after the first hold only what changes, with the rest
// transparent, over a viewer that keeps each frame (disposal 1); a frame carries a local
// table only when its palette is not the global one. Palettes that span several frames are
// known only after their last frame, so images may be written some frames late, at the
// latest by finish().
class GifExporter : public FrameExporter {
public:
    static constexpr const char* kComment = "Zentravo";

    // loopSetting: 0 repeat forever, 1 play once (no loop extension), n > 1 play n times.
    // `colours`: the classic palettes' size (2..256; a size budget may lower it).
    explicit GifExporter(int loopSetting, GifQuality quality = GifQuality::Classic,
                         const BestGifEncoder::Settings& best = BestGifEncoder::Settings(),
                         int colours = 256);
    ~GifExporter() override;

    bool open(const std::string& path, int width, int height, int frameRate) override;
    // Classic: the frame's own palette and its reduction, on the drawing threads.
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override;
    bool writePrepared(PreparedFrame& frame, int index) override;
    bool writeFrame(const QImage& frame, int index) override;
    bool finish() override;
    void abort() override;
    std::string error() const override { return m_error; }

    // The two halves of writeFrame, so that frames can be prepared on another thread than
    // the one that writes them: prepareFrame is stateless, encodeFrame writes in order.
    static CxImage prepareFrame(const QImage& frame, std::uint32_t delay, int colours = 256);
    bool encodeFrame(CxImage& picture, int index);

    // The frame delay in hundredths of a second: the preview's frame period / 10.
    static std::uint32_t frameDelay(int frameRate);

private:
    void close();
    // Writes one image: for index 0 the header, loop extension and comment around it.
    bool writeImage(CxImage& picture, int index, bool localTable, int disposal);

    CxImageGIF m_encoder;
    std::FILE* m_file = nullptr;
    std::unique_ptr<CxIOFile> m_stream;
    int m_loopSetting;
    GifQuality m_quality;
    int m_colours;
    BestGifEncoder::Settings m_bestSettings;
    std::unique_ptr<BestGifEncoder> m_best; // Best: from open() to finish()
    int m_bestWritten = 0;
    std::uint32_t m_delay = 0;
    std::string m_error;
};
