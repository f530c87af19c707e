#include "export/BatchExport.h"

#include "document/Document.h"
#include "export/FrameExporter.h"
#include "stage/ExportStep.h"
#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"

#include <QFile>

#include <deque>
#include <mutex>
#include <semaphore>
#include <thread>

namespace {

// Frames drawn ahead of the writer: two are enough to keep both cores busy.
constexpr std::size_t kQueueDepth = 2;

// A bounded hand-over of drawn frames from the drawing thread to the writer. Semaphores
// count free places and waiting frames; the mutex only guards the deque itself.
class FrameQueue {
public:
    bool push(QImage frame) {
        m_places.acquire();
        std::lock_guard lock(m_mutex);
        if (m_stopped)
            return false;
        m_frames.push_back(std::move(frame));
        m_ready.release();
        return true;
    }
    bool pop(QImage& frame) {
        m_ready.acquire();
        std::lock_guard lock(m_mutex);
        if (m_frames.empty())
            return false; // stopped
        frame = std::move(m_frames.front());
        m_frames.pop_front();
        m_places.release();
        return true;
    }
    // Wakes both sides for good: pushes are refused, pops return what is left, then fail.
    void stop() {
        std::lock_guard lock(m_mutex);
        if (m_stopped)
            return;
        m_stopped = true;
        m_places.release(kWakeAll);
        m_ready.release(kWakeAll);
    }

private:
    static constexpr std::ptrdiff_t kWakeAll = 1 << 20;
    std::mutex m_mutex;
    std::counting_semaphore<> m_places{static_cast<std::ptrdiff_t>(kQueueDepth)};
    std::counting_semaphore<> m_ready{0};
    std::deque<QImage> m_frames;
    bool m_stopped = false;
};

// Keeps the frame the worker hands over and moves the export on, as the application's export
// run does: the next frame, or the end of the export after the last one.
class CaptureStep : public ExportStep {
public:
    explicit CaptureStep(int duration) : m_duration(duration) {}

    void exportFrame(const QImage& frame, StageCanvas& canvas, Document::Lock& lock) override {
        captured = frame.copy(); // the buffer is drawn over by the next pass
        index = canvas.currentFrame();
        if (index + 1 >= m_duration)
            canvas.endExport(lock);
        else
            canvas.setCurrentFrame(index + 1);
    }

    QImage captured;
    int index = -1;

private:
    int m_duration;
};

} // namespace

void BatchExport::drawExportFrames(Document& document, float zoom, const FrameSink& sink) {
    int width = 0;
    int height = 0;
    int duration = 0;
    {
        auto lock = document.lock();
        const ProjectHeader& h = lock.project().header;
        width = h.width;
        height = h.height;
        duration = h.duration;
    }
    StageCanvas canvas(document);
    canvas.setStageSize(width, height);
    canvas.loadBackgroundPicture();
    CaptureStep step(duration);
    StageWorker worker(canvas, nullptr); // never started: its passes are driven below
    worker.setExportStep(&step);
    canvas.beginExport(zoom);
    while (canvas.isExporting()) {
        worker.redrawStep();
        worker.frameStep();
        if (step.captured.isNull() || !sink(std::move(step.captured), step.index))
            return;
        step.captured = QImage();
    }
}

bool BatchExport::run(Document& document, FrameExporter& exporter, const std::string& path,
                      const Progress& progress, std::string& error, float zoom) {
    int width = 0;
    int height = 0;
    int frameRate = 0;
    int duration = 0;
    {
        auto lock = document.lock();
        const ProjectHeader& h = lock.project().header;
        width = static_cast<int>(h.width * zoom);
        height = static_cast<int>(h.height * zoom);
        frameRate = h.frameRate;
        duration = h.duration;
    }
    error.clear();
    if (!exporter.open(path, width, height, frameRate)) {
        error = exporter.error();
        QFile::remove(QString::fromLocal8Bit(path.c_str()));
        return false;
    }

    FrameQueue queue;
    std::thread drawing([&] {
        drawExportFrames(document, zoom,
                         [&queue](QImage frame, int) { return queue.push(std::move(frame)); });
        queue.stop();
    });

    bool ok = true;
    QImage picture;
    for (int frame = 0; frame < duration; ++frame) {
        if (progress.cancelled && progress.cancelled()) {
            ok = false;
            break;
        }
        if (!queue.pop(picture) || !exporter.writeFrame(picture, frame)) {
            error = exporter.error();
            ok = false;
            break;
        }
        if (progress.report)
            progress.report((frame + 1) * 100 / duration);
    }
    queue.stop();
    drawing.join();
    if (ok && !exporter.finish()) {
        error = exporter.error();
        ok = false;
    }
    if (!ok) {
        exporter.abort();
        QFile::remove(QString::fromLocal8Bit(path.c_str()));
    }
    return ok;
}
