#pragma once

#include "export/ExportSettings.h"
#include "export/PreparingExporter.h"

#include <cstdio>
#include <memory>
#include <string>

// WebpExporter: an animated WebP made by libwebp's animation encoder, lossless or lossy at a
// quality (libwebp's own 0..100 scale; colour converted to YUV with its sharp method, which
// keeps flat-coloured edges clean). With a transparent background frames keep their alpha,
// stored losslessly in lossy files too. After the first frame the encoder stores only the
// rectangle that changed; a frame equal to the one before it lengthens that one instead
// (libwebp's rule: the animation shows the same pictures at the same times). WebP counts time
// in whole milliseconds: frame n starts at round(n * 1000 / frame rate) ms. The loop count is
// WebP's (0 forever, n plays). The encoder holds the file until finish(), which writes it;
// open() creates it already, so that an unwritable path fails before any frame is drawn.
class WebpExporter : public PreparingExporter {
public:
    static constexpr int kDefaultQuality = 75;

    explicit WebpExporter(const ExportSettings& settings = {});
    ~WebpExporter() override;
    WebpExporter(const WebpExporter&) = delete;
    WebpExporter& operator=(const WebpExporter&) = delete;

    void setThreads(int threads) override;
    bool open(const std::string& path, int width, int height, int frameRate) override;
    // Imports the frame into libwebp's picture (on the drawing threads).
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override;
    bool writePrepared(PreparedFrame& frame, int index) override;
    bool finish() override;
    void abort() override;

    // Where frame `frame` starts, in milliseconds.
    static int timestamp(int frame, int frameRate);

private:
    struct Encoder;
    void release();

    ExportSettings m_settings;
    int m_threads = 1;
    std::string m_path;
    std::FILE* m_file = nullptr;
    std::unique_ptr<Encoder> m_encoder;
    int m_width = 0;
    int m_height = 0;
    int m_frameRate = 0;
    int m_frames = 0; // frames added so far
};
