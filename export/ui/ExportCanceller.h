#pragma once

#include <QObject>

#include <atomic>
#include <thread>

class ExportPipeline;

// ExportCanceller: cancels a running export on a thread of its own, so that the window stays
// responsive while the frame being captured finishes and the partial file is deleted. One
// cancel thread at a time: starting another, wait() and the destructor join the previous one
// (never detached). Call wait() before starting the next export of the same pipeline, whose
// cancel may still be finishing the last one.
class ExportCanceller : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~ExportCanceller() override;

    // Starts `pipeline.cancel()` on the cancel thread; `pipeline` must outlive it.
    void cancel(ExportPipeline& pipeline);
    // Returns once the last cancel has finished.
    void wait();
    bool isBusy() const { return m_busy; }

signals:
    // A cancel has finished (emitted on the cancel thread: queued to receivers elsewhere).
    void finished();

private:
    std::thread m_thread;
    std::atomic<bool> m_busy{false};
};
