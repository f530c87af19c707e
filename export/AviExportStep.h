#pragma once

#include "export/AviWriter.h"
#include "export/VideoExportStep.h"

#include <functional>
#include <optional>
#include <string>

// AviExportStep: the AVI export: opens the file and its stream before the frames are drawn,
// asks for the compression choice, then writes each stage frame as a 24-bit bottom-up bitmap
// (every frame handed over as a key frame of the uncompressed stream; which frames become key
// frames in the file is the codec's choice) and closes the file after the last frame.
class AviExportStep : public VideoExportStep {
public:
    // Shows the codec choice; no value when the user cancels.
    using CodecChooser = std::function<std::optional<AviCompressOptions>()>;

    // Creates the file and stream (rate = frame rate, scale 1, the stage size), asks
    // `choose` for the compression and writes the header. False when the export cannot run:
    // with message() "Write AVI error." on a failure, with an empty message when the choice
    // was cancelled; either way no file is left behind.
    bool open(const std::string& path, int frameRate, int width, int height, int duration,
              const CodecChooser& choose);

    const AviWriter& writer() const { return m_writer; }

    static constexpr const char* kWriteError = "Write AVI error.";

protected:
    bool writeFrame(const QImage& frame, int index) override;
    bool closeOutput() override { return m_writer.close(); }
    void abandonOutput() override { m_writer.discard(); }
    std::string writeErrorMessage() const override { return kWriteError; }

private:
    AviWriter m_writer;
};
