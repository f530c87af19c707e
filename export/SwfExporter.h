#pragma once

#include "export/FrameExporter.h"
#include "export/VideoEncoder.h"

// SwfExporter: the SWF movie output. Each stage frame becomes a 24-bit bitmap, turned upside
// down with red and blue swapped (top-down RGB24) and encoded as one FLV1 picture: FLV1 video
// of the stage size, time base 1 / frame rate, fixed quantiser 255, GOP 12.
class SwfExporter : public FrameExporter {
public:
    static constexpr const char* kWriteError = "Write SWF error.";

    bool open(const std::string& path, int width, int height, int frameRate) override;
    bool writeFrame(const QImage& frame, int index) override;
    bool finish() override;
    void abort() override;
    std::string error() const override { return m_error; }

    int streamIndex() const { return m_stream; }
    const VideoEncoder& encoder() const { return m_encoder; }

private:
    VideoEncoder m_encoder;
    int m_stream = -1;
    int m_width = 0;
    int m_height = 0;
    bool m_open = false;
    std::string m_error;
};
