#pragma once

#include "export/VideoEncoder.h"
#include "export/VideoExportStep.h"

#include <string>

// SwfExportStep: the SWF end of the export loop. Each stage frame becomes a 24-bit bitmap,
// is turned upside down with red and blue swapped (top-down RGB24) and encoded as one FLV1
// picture; after the last frame the stream is closed and the file finished.
class SwfExportStep : public VideoExportStep {
public:
    // Set up the encoder and write the file's header: FLV1 video of the stage size, time base
    // 1 / frame rate, fixed quantiser 255. On failure nothing is left on disk and message()
    // says so.
    bool open(const std::string& path, int frameRate, int width, int height, int duration);

    int streamIndex() const { return m_stream; }
    const VideoEncoder& encoder() const { return m_encoder; }

    static constexpr const char* kWriteError = "Write SWF error.";

protected:
    bool writeFrame(const QImage& frame, int index) override;
    bool closeOutput() override;
    void abandonOutput() override;
    std::string writeErrorMessage() const override { return kWriteError; }

private:
    VideoEncoder m_encoder;
    int m_stream = -1;
    int m_width = 0;
    int m_height = 0;
};
