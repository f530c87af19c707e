#pragma once

#include "stage/ExportStep.h"

#include <atomic>
#include <functional>
#include <string>

// VideoExportStep: what the SWF and AVI steps share on the stage worker: one frame written
// per pass, the frame counter advanced through the canvas, progress in percent, and the end
// of the export (last frame written, or a write failure): the output is closed, the canvas's
// exporting flag cleared and a redraw requested.
//
// Driving it (the export pipeline): open the subclass's output, set the canvas exporting,
// let StageWorker call exportFrame() once per pass. progress() and isDone() can be polled
// from any thread. To stop early, clear the canvas's exporting flag, wait while it is
// capturing, then call cancel(), which closes and deletes the partial file. The callbacks run
// on the worker while it holds the canvas's model mutex: restoring the zoom and the view back
// buffer (which take that mutex) must be done by the pipeline after `ended`, not inside it.
class VideoExportStep : public ExportStep {
public:
    struct Callbacks {
        std::function<void(int frame)> frameShown; // the timeline follows (UM_CURRENT_FRAME)
        std::function<void(bool written)> ended;   // false: a write failed, see message()
    };

    void setCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }

    void exportFrame(const QImage& frame, StageCanvas& canvas) final;
    // Closes the output without finishing it and deletes the file (stopped export).
    void cancel();

    bool isOpen() const { return m_open; }
    int progress() const { return m_progress; }
    bool isDone() const { return m_done; }
    // The message for the user after a failure (empty otherwise, and after a cancelled
    // codec choice).
    const std::string& message() const { return m_message; }
    const std::string& outputPath() const { return m_path; }

protected:
    // Called by a subclass when its output is ready for `duration` frames.
    void started(const std::string& path, int duration);
    // Records a failure: `message` for the user; the output is discarded and its file removed.
    void failed(const std::string& message);

    // One frame (frame index `index` of the project) into the output.
    virtual bool writeFrame(const QImage& frame, int index) = 0;
    // Finishes the output file; false on failure.
    virtual bool closeOutput() = 0;
    // Releases the output without finishing it.
    virtual void abandonOutput() = 0;
    // The user message for a failed write or close.
    virtual std::string writeErrorMessage() const = 0;

private:
    void end(StageCanvas& canvas, bool written);

    Callbacks m_callbacks;
    std::string m_path;
    std::string m_message;
    int m_duration = 0;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_open{false};
};
