#pragma once

#include "export/FrameExporter.h"
#include "gif/CxImage.h"
#include "gif/CxImageGIF.h"

#include <cstdio>
#include <memory>

class CxIOFile;

// GifExporter: the animated GIF output. Every frame gets its own 256-colour palette from the
// octree quantizer and is reduced to it with error diffusion; frame 0 writes the header with
// its palette as the global table, the loop extension, a graphic control block, the comment
// "Zentravo" and its image; later frames write a graphic control block and an image with a
// local table. Disposal 2, no transparency, delay one frame period in hundredths.
class GifExporter : public FrameExporter {
public:
    static constexpr const char* kComment = "Zentravo";

    // loopSetting: 0 repeat forever, 1 play once (no loop extension), n > 1 play n times.
    explicit GifExporter(int loopSetting);
    ~GifExporter() override;

    bool open(const std::string& path, int width, int height, int frameRate) override;
    bool writeFrame(const QImage& frame, int index) override;
    bool finish() override;
    void abort() override;
    std::string error() const override { return m_error; }

    // The two halves of writeFrame, so that frames can be prepared on another thread than
    // the one that writes them: prepareFrame is stateless, encodeFrame writes in order.
    static CxImage prepareFrame(const QImage& frame, std::uint32_t delay);
    bool encodeFrame(CxImage& picture, int index);

    // The frame delay in hundredths of a second: the preview's frame period / 10.
    static std::uint32_t frameDelay(int frameRate);

private:
    void close();

    CxImageGIF m_encoder;
    std::FILE* m_file = nullptr;
    std::unique_ptr<CxIOFile> m_stream;
    int m_loopSetting;
    std::uint32_t m_delay = 0;
    std::string m_error;
};
