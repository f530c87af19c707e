#pragma once

#include <QImage>

#include <string>

// FrameExporter: one output format of the export: an open file taking the rendered stage
// frames in order. The export run calls open() once, writeFrame() for frames 0, 1, ...,
// then finish() after the last frame or abort() when the export is cancelled or fails.
class FrameExporter {
public:
    virtual ~FrameExporter() = default;
    // Creates the output file; false (with error() set) when it cannot be written.
    virtual bool open(const std::string& path, int width, int height, int frameRate) = 0;
    // `frame` is the stage-sized picture of frame `index` (opaque RGB32).
    virtual bool writeFrame(const QImage& frame, int index) = 0;
    // Completes the file (trailer, index) and closes it.
    virtual bool finish() = 0;
    // Closes the file without completing it; the caller deletes it.
    virtual void abort() = 0;
    // The message for the user after a failure.
    virtual std::string error() const = 0;
};
