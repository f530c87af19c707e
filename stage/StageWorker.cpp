#include "stage/StageWorker.h"

#include "document/MessageTarget.h"
#include "document/Project.h"
#include "stage/ExportStep.h"
#include "stage/StageCanvas.h"

#include <chrono>

StageWorker::StageWorker(StageCanvas& canvas, MessageTarget* target)
    : m_canvas(canvas), m_target(target) {}

StageWorker::~StageWorker() {
    stop();
}

int StageWorker::sleepMilliseconds(int frameRate) {
    return frameRate >= 1 && frameRate <= 30 ? 1000 / frameRate : 100;
}

void StageWorker::start() {
    if (m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_stopMutex);
        m_stopRequested = false;
    }
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void StageWorker::stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_stopMutex);
        m_stopRequested = true;
    }
    m_stopSignal.notify_all();
    m_thread.join();
    m_running = false;
}

void StageWorker::run() {
    while (redrawStep()) {
        int frameRate = 0;
        {
            std::lock_guard lock(m_canvas.modelMutex());
            if (m_canvas.project())
                frameRate = m_canvas.project()->header.frameRate;
        }
        sleepFor(sleepMilliseconds(frameRate));
        frameStep();
    }
    m_running = false;
}

void StageWorker::sleepFor(int milliseconds) {
    // Waits on the stop signal so that stop() does not wait out a whole frame period.
    std::unique_lock lock(m_stopMutex);
    m_stopSignal.wait_for(lock, std::chrono::milliseconds(milliseconds),
                          [this] { return m_stopRequested; });
}

bool StageWorker::redrawStep() {
    {
        std::lock_guard lock(m_stopMutex);
        if (m_stopRequested)
            return false;
    }
    if (m_canvas.redrawRequested()) {
        std::lock_guard lock(m_canvas.modelMutex());
        m_canvas.drawFrame();
        m_canvas.clearRedrawRequest();
    }
    return true;
}

void StageWorker::frameStep() {
    std::unique_lock lock(m_canvas.modelMutex());
    Project* project = m_canvas.project();
    if (!project)
        return;
    if (m_canvas.isExporting()) {
        ExportStep* step = m_exportStep;
        if (!step)
            return;
        m_canvas.setCapturing(true);
        m_canvas.drawFrame();
        step->exportFrame(m_canvas.backBufferLocked(), m_canvas);
        m_canvas.setCapturing(false);
        return;
    }
    if (!m_canvas.isPlaying())
        return;
    m_canvas.drawFrame();
    int next = m_canvas.currentFrame() + 1;
    bool finished = false;
    if (next >= project->header.duration) {
        // The preview plays once: it ends itself at frame 0 rather than drawing frame 0
        // again before the main window has handled the message.
        m_canvas.togglePreview();
        next = 0;
        finished = true;
    }
    m_canvas.setCurrentFrame(next);
    lock.unlock();
    if (m_target) {
        if (finished)
            m_target->post(MainMessage::ResumePreview, 0, 0);
        m_target->post(MainMessage::CurrentFrame, 0, next);
    }
}
