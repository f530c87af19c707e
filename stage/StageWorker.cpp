#include "stage/StageWorker.h"

#include "document/MessageTarget.h"
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
            auto lock = m_canvas.document().lock();
            frameRate = lock.project().header.frameRate;
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
        auto lock = m_canvas.document().lock();
        m_canvas.drawFrame(lock);
        m_canvas.clearRedrawRequest();
    }
    return true;
}

void StageWorker::frameStep() {
    Document& document = m_canvas.document();
    int next = 0;
    bool finished = false;
    {
        auto lock = document.lock();
        if (!m_canvas.isPlaying())
            return;
        m_canvas.drawFrame(lock);
        next = document.currentFrame() + 1;
        if (next >= lock.project().header.duration) {
            // The preview plays once: it ends itself at frame 0 rather than drawing frame 0
            // again before the main window has handled the message.
            m_canvas.finishPreview(lock);
            next = 0;
            finished = true;
        }
        document.setCurrentFrame(next);
    }
    if (m_target) {
        if (finished)
            m_target->post(MainMessage::ResumePreview, 0, 0);
        m_target->post(MainMessage::CurrentFrame, 0, next);
    }
}
