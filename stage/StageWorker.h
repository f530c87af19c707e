#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class MessageTarget;
class StageCanvas;

// StageWorker: the thread of a stage view. Each pass: stop check, a redraw when one was
// requested, a sleep of one frame period, then one preview frame while the preview plays. The
// preview plays the animation once and stops at frame 0. (Exports draw on threads of their
// own, from a copy of the project: ExportJob.)
class StageWorker {
public:
    StageWorker(StageCanvas& canvas, MessageTarget* target);
    ~StageWorker();
    StageWorker(const StageWorker&) = delete;
    StageWorker& operator=(const StageWorker&) = delete;

    void start();
    // Ends the thread and waits for it; the worker can be started again afterwards.
    void stop();
    bool isRunning() const { return m_running; }

    // The pause between passes: 1000 / frame rate milliseconds for 1..30 fps, else 100.
    static int sleepMilliseconds(int frameRate);

    // The two halves of a pass around its sleep, public so that a pass can be driven
    // without the clock. redrawStep() returns false when the worker was asked to stop.
    bool redrawStep();
    void frameStep();

private:
    void run();
    void sleepFor(int milliseconds);

    StageCanvas& m_canvas;
    MessageTarget* m_target;
    std::thread m_thread;
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
    bool m_stopRequested = false;
    std::atomic<bool> m_running{false};
};
