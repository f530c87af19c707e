#include "export/ExportJob.h"

#include "export/ExportSource.h"
#include "export/FrameExporter.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// How often a wait looks at the cancel request: well inside a frame's time.
constexpr auto kCancelPoll = std::chrono::milliseconds(20);

// The frames between the drawing threads and the writer. A drawing thread takes the next
// frame number only while fewer than `ahead` frames wait beyond the writer, which bounds the
// memory whatever the speed of either side.
class FrameHandOver {
public:
    FrameHandOver(int total, int ahead) : m_total(total), m_ahead(ahead) {}

    // The next frame to draw, or -1 when there is none or the hand-over stopped.
    int take() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] {
            return m_stopped || m_next >= m_total || m_next < m_written + m_ahead;
        });
        if (m_stopped || m_next >= m_total)
            return -1;
        return m_next++;
    }
    void put(int frame, std::unique_ptr<PreparedFrame> prepared) {
        {
            std::lock_guard lock(m_mutex);
            m_ready[frame] = std::move(prepared);
        }
        m_changed.notify_all();
    }
    // Frame `frame` once it is ready; null when the hand-over stopped or `cancelled` says so.
    std::unique_ptr<PreparedFrame> waitFor(int frame, const std::function<bool()>& cancelled) {
        std::unique_lock lock(m_mutex);
        while (true) {
            if (m_stopped)
                return nullptr;
            const auto found = m_ready.find(frame);
            if (found != m_ready.end()) {
                std::unique_ptr<PreparedFrame> prepared = std::move(found->second);
                m_ready.erase(found);
                return prepared;
            }
            if (cancelled) {
                lock.unlock();
                const bool stop = cancelled();
                lock.lock();
                if (stop)
                    return nullptr;
            }
            m_changed.wait_for(lock, kCancelPoll);
        }
    }
    void written(int count) {
        {
            std::lock_guard lock(m_mutex);
            m_written = count;
        }
        m_changed.notify_all();
    }
    void stop() {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
            m_ready.clear();
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::unique_ptr<PreparedFrame>> m_ready;
    const int m_total;
    const int m_ahead;
    int m_next = 0;
    int m_written = 0;
    bool m_stopped = false;
};

void removeFile(const std::string& path) {
    QFile::remove(QString::fromLocal8Bit(path.c_str()));
}

} // namespace

int ExportJob::threadCount(int threads) {
    if (threads > 0)
        return threads;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

bool ExportJob::open(const ExportSource& source, FrameExporter& exporter, const std::string& path,
                     std::string& error, int threads) {
    error.clear();
    exporter.setThreads(threadCount(threads));
    if (exporter.open(path, source.width(), source.height(), source.frameRate()))
        return true;
    error = exporter.error();
    removeFile(path);
    return false;
}

ExportJob::Result ExportJob::encode(const ExportSource& source, FrameExporter& exporter,
                                    const std::string& path, const Options& options) {
    const int total = std::max(source.duration(), 0);
    const int threads = threadCount(options.threads);
    FrameHandOver handOver(total, threads + 2);
    // Each drawing thread reads a copy of its own: the project's lists keep a lookup cursor
    // that even reading moves, so one copy must never be read by two threads at once. The
    // copies are made here, one after another (the pictures in them are shared, not copied).
    std::vector<ExportSource> copies(static_cast<std::size_t>(threads), source);
    std::vector<std::thread> drawing;
    for (ExportSource& mine : copies)
        drawing.emplace_back([&handOver, &exporter, &mine] {
            for (int frame = handOver.take(); frame >= 0; frame = handOver.take())
                handOver.put(frame, exporter.prepare(mine.drawFrame(frame)));
        });

    Result result;
    bool ok = true;
    for (int frame = 0; frame < total; ++frame) {
        std::unique_ptr<PreparedFrame> prepared = handOver.waitFor(frame, options.cancelled);
        if (!prepared) {
            result.cancelled = true;
            ok = false;
            break;
        }
        if (!exporter.writePrepared(*prepared, frame)) {
            result.error = exporter.error();
            ok = false;
            break;
        }
        handOver.written(frame + 1);
        if (options.progress)
            options.progress(frame + 1, total);
        if (options.cancelled && options.cancelled()) {
            result.cancelled = true;
            ok = false;
            break;
        }
    }
    handOver.stop();
    for (std::thread& thread : drawing)
        thread.join();
    if (ok && !exporter.finish()) {
        result.error = exporter.error();
        ok = false;
    }
    if (!ok) {
        exporter.abort();
        removeFile(path);
    } else if (options.cancelled && options.cancelled()) {
        // Cancelled while the file was completed (the best GIF mode's palettes take a while
        // there): the file goes as well.
        removeFile(path);
        result.cancelled = true;
        ok = false;
    }
    result.completed = ok;
    return result;
}

ExportJob::Result ExportJob::run(const ExportSource& source, FrameExporter& exporter,
                                 const std::string& path, const Options& options) {
    Result result;
    if (!open(source, exporter, path, result.error, options.threads))
        return result;
    return encode(source, exporter, path, options);
}
