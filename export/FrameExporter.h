#pragma once

#include <QImage>

#include <memory>
#include <string>

// PreparedFrame: one frame after the work that needs no other frame, ready to be written in
// order. Exporters that do such work on the drawing threads add what it made.
class PreparedFrame {
public:
    virtual ~PreparedFrame() = default;
    QImage picture; // the stage-sized frame (opaque RGB32)
};

// FrameExporter: one output format of the export: an open file taking the rendered stage
// frames in order. The export calls open() once, prepare() for frames on any thread and in any
// order, writeFrame() for frames 0, 1, ... in order on one thread, then finish() after the
// last frame or abort() when the export is cancelled or fails.
class FrameExporter {
public:
    virtual ~FrameExporter() = default;
    // The threads the export runs on (before open()): an encoder that can use them and still
    // write the same bytes may. By default it stays on one.
    virtual void setThreads(int threads) { (void)threads; }
    // Creates the output file; false (with error() set) when it cannot be written.
    virtual bool open(const std::string& path, int width, int height, int frameRate) = 0;
    // The work on `frame` that depends on no other frame (after open(); safe on any thread).
    // By default none: the picture is passed on.
    virtual std::unique_ptr<PreparedFrame> prepare(QImage frame) const {
        auto prepared = std::make_unique<PreparedFrame>();
        prepared->picture = std::move(frame);
        return prepared;
    }
    // Writes frame `index` as prepare() left it; by default its picture.
    virtual bool writePrepared(PreparedFrame& frame, int index) {
        return writeFrame(frame.picture, index);
    }
    // `frame` is the stage-sized picture of frame `index` (opaque RGB32).
    virtual bool writeFrame(const QImage& frame, int index) = 0;
    // Completes the file (trailer, index) and closes it.
    virtual bool finish() = 0;
    // Closes the file without completing it; the caller deletes it.
    virtual void abort() = 0;
    // The message for the user after a failure.
    virtual std::string error() const = 0;
};
