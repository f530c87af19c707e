#include "export/ExportRun.h"

#include "document/MessageTarget.h"
#include "stage/StageCanvas.h"

#include <chrono>
#include <cstdio>
#include <thread>

ExportRun::ExportRun(std::unique_ptr<FrameExporter> exporter, std::string path, int duration,
                     ExportProgress& progress, MessageTarget* target, int finishDelayMs)
    : m_exporter(std::move(exporter)), m_path(std::move(path)), m_duration(duration),
      m_progress(progress), m_target(target), m_finishDelayMs(finishDelayMs) {}

void ExportRun::exportFrame(const QImage& frame, StageCanvas& canvas, Document::Lock& document) {
    std::lock_guard lock(m_mutex);
    if (!m_open)
        return;
    const int index = canvas.currentFrame();
    if (!m_exporter->writeFrame(frame, index)) {
        m_error = m_exporter->error();
        closeLocked(false);
        canvas.endExport(document);
        m_progress.done = true;
        return;
    }
    const int next = index + 1;
    if (next >= m_duration) {
        if (m_finishDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_finishDelayMs));
        closeLocked(true);
        canvas.endExport(document);
        m_progress.percent = 100;
        m_progress.done = true;
        return;
    }
    canvas.setCurrentFrame(next);
    if (m_target)
        m_target->post(MainMessage::CurrentFrame, 0, next);
    m_progress.percent = next * 100 / m_duration;
}

void ExportRun::cancel(StageCanvas& canvas) {
    // Seen by a last frame's finish that is running now (it can take long: the best GIF mode
    // does its palette work there), so that a cancelled export leaves no file either way.
    m_cancelRequested = true;
    canvas.cancelExport();
    if (m_finishDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_finishDelayMs));
    std::lock_guard lock(m_mutex);
    if (m_open)
        closeLocked(false);
}

void ExportRun::closeLocked(bool complete) {
    m_open = false;
    if (complete && m_exporter->finish()) {
        if (!m_cancelRequested) {
            m_succeeded = true;
            return;
        }
        std::remove(m_path.c_str()); // cancelled while it finished: the file goes as well
        return;
    }
    if (complete)
        m_error = m_exporter->error();
    else
        m_exporter->abort();
    std::remove(m_path.c_str()); // a cut-off file is of no use to anyone
}

bool ExportRun::succeeded() const {
    std::lock_guard lock(m_mutex);
    return m_succeeded;
}

std::string ExportRun::error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}
