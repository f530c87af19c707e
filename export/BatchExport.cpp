#include "export/BatchExport.h"

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"
#include "export/FrameExporter.h"
#include "stage/HitRegionTable.h"
#include "stage/StageCanvas.h"

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

} // namespace

bool BatchExport::run(Project& project, EmbeddedSymbolList& symbols, const HitRegionTable& regions,
                      FrameExporter& exporter, const std::string& path, const Progress& progress,
                      std::string& error, float zoom) {
    const ProjectHeader& h = project.header;
    error.clear();
    const int width = static_cast<int>(h.width * zoom);
    const int height = static_cast<int>(h.height * zoom);
    if (!exporter.open(path, width, height, h.frameRate)) {
        error = exporter.error();
        QFile::remove(QString::fromLocal8Bit(path.c_str()));
        return false;
    }
    StageCanvas canvas;
    canvas.setModel(&project, &symbols, &regions);
    canvas.setStageSize(h.width, h.height);
    canvas.loadBackgroundPicture();
    canvas.beginExport(zoom);

    const int duration = h.duration;
    FrameQueue queue;
    std::thread drawing([&] {
        for (int frame = 0; frame < duration; ++frame) {
            QImage picture;
            {
                std::lock_guard lock(canvas.modelMutex());
                canvas.setCurrentFrame(frame);
                canvas.drawFrame();
                picture = canvas.backBufferLocked().copy(); // the buffer is drawn over next
            }
            if (!queue.push(std::move(picture)))
                return;
        }
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
