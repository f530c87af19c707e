#pragma once

#include "export/ExportProgress.h"
#include "export/FrameExporter.h"
#include "stage/ExportStep.h"

#include <memory>
#include <atomic>
#include <mutex>
#include <string>

class MessageTarget;

// ExportRun: a running export as the stage worker sees it. Each pass hands the drawn frame to
// the format's exporter, moves to the next frame (the timeline follows through
// UM_CURRENT_FRAME) and updates the progress; after the last frame it completes the file and
// ends the export. A write failure ends the export too, removes the broken file and keeps the
// exporter's message for the user. cancel() is the other way out, from a thread of its own.
class ExportRun : public ExportStep {
public:
    // `finishDelayMs`: the pause before the file is completed or abandoned.
    ExportRun(std::unique_ptr<FrameExporter> exporter, std::string path, int duration,
              ExportProgress& progress, MessageTarget* target, int finishDelayMs = 200);

    void exportFrame(const QImage& frame, StageCanvas& canvas, Document::Lock& lock) override;
    // Stops the export: the canvas returns to the view (after the frame being captured), the
    // exporter is abandoned and the partial file deleted.
    void cancel(StageCanvas& canvas);

    bool succeeded() const;
    // The exporter's message after a failed write, empty otherwise.
    std::string error() const;
    const std::string& path() const { return m_path; }

private:
    void closeLocked(bool complete);

    std::unique_ptr<FrameExporter> m_exporter;
    std::string m_path;
    int m_duration;
    ExportProgress& m_progress;
    MessageTarget* m_target;
    int m_finishDelayMs;
    mutable std::mutex m_mutex; // guards the exporter between the worker and a cancel
    bool m_open = true;
    std::atomic<bool> m_cancelRequested{false};
    bool m_succeeded = false;
    std::string m_error;
};
