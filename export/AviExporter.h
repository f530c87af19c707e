#pragma once

#include "export/AviWriter.h"
#include "export/FrameExporter.h"

#include <functional>
#include <optional>

// AviExporter: the AVI video output. Opening creates the file and its stream (rate = frame
// rate, scale 1, the stage size), then asks for the compression choice; each stage frame is
// written as a 24-bit bottom-up bitmap (handed over as a key frame of the uncompressed
// stream; which frames become key frames in the file is the codec's choice).
class AviExporter : public FrameExporter {
public:
    static constexpr const char* kWriteError = "Write AVI error.";
    // Shows the codec choice; no value when the user cancels.
    using CodecChooser = std::function<std::optional<AviCompressOptions>()>;

    explicit AviExporter(CodecChooser choose) : m_choose(std::move(choose)) {}

    // False with error() "Write AVI error." on a failure, with an empty error() when the
    // codec choice was cancelled; either way no file is left behind.
    void setThreads(int threads) override { m_writer.setEncoderThreads(threads); }
    bool open(const std::string& path, int width, int height, int frameRate) override;
    // The bitmap and its conversion for the encoder, on the drawing threads.
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override;
    bool writePrepared(PreparedFrame& frame, int index) override;
    bool writeFrame(const QImage& frame, int index) override;
    bool finish() override;
    void abort() override;
    std::string error() const override { return m_error; }

    const AviWriter& writer() const { return m_writer; }

private:
    CodecChooser m_choose;
    AviWriter m_writer;
    std::string m_error;
};
