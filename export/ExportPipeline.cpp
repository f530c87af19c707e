#include "export/ExportPipeline.h"

#include "document/Document.h"
#include "document/MessageSink.h"
#include "document/MessageTarget.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

ExportPipeline::ExportPipeline(Document& document, MessageSink& sink, MessageTarget* target)
    : m_document(document), m_sink(sink), m_target(target) {}

ExportPipeline::~ExportPipeline() {
    cancel();
}

bool ExportPipeline::checkProject() {
    {
        auto lock = m_document.lock();
        if (lock.project().layerCount() > 0)
            return true;
    }
    m_sink.show(kNoAnimation, kCaption, MessageIcon::Information);
    return false;
}

bool ExportPipeline::clearOutput(const std::string& path) {
    const QString file = QString::fromLocal8Bit(path.c_str());
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!info.isDir() && QFile::remove(file))
        return true;
    m_sink.show(kFileInUse, kCaption, MessageIcon::Information);
    return false;
}

bool ExportPipeline::start(const std::string& path, std::unique_ptr<FrameExporter> exporter,
                           int threads, const ExportShape& shape) {
    if (isRunning())
        return false;
    join(); // the last export's thread, long done
    auto source = std::make_unique<ExportSource>(ExportSource::take(m_document, shape));
    std::string error;
    if (!ExportJob::open(*source, *exporter, path, error, threads)) {
        if (!error.empty()) // an empty message is a cancelled choice
            m_sink.show(error, kCaption, MessageIcon::Information);
        return false;
    }
    m_source = std::move(source);
    m_exporter = std::move(exporter);
    launch(
        [this, path](const ExportJob::Options& options) {
            return ExportJob::encode(*m_source, *m_exporter, path, options);
        },
        threads);
    return true;
}

bool ExportPipeline::start(const std::string& path, const ExportRequest& request, int threads) {
    if (isRunning() || !request.format)
        return false;
    join();
    m_source = std::make_unique<ExportSource>(ExportSource::take(m_document, request.shape));
    m_exporter.reset();
    launch(
        [this, path, request](const ExportJob::Options& options) {
            if (request.budget) {
                m_budget = SizeBudget::run(*m_source, *request.format, request.choice, path,
                                           *request.budget, options);
                return m_budget->job;
            }
            std::unique_ptr<FrameExporter> exporter = request.format->make(request.choice);
            return ExportJob::run(*m_source, *exporter, path, options);
        },
        threads);
    return true;
}

void ExportPipeline::launch(std::function<ExportJob::Result(const ExportJob::Options&)> work,
                            int threads) {
    m_result = {};
    m_budget.reset();
    m_cancel = false;
    m_progress.reset(m_source->duration());
    m_lastNotice = {};
    m_thread = std::thread([this, work = std::move(work), threads] {
        ExportJob::Options options;
        options.threads = threads;
        options.progress = [this](int written, int total) { frameWritten(written, total); };
        options.cancelled = [this] { return m_cancel.load(); };
        m_result = work(options);
        if (m_result.completed)
            m_progress.percent = 100;
        m_progress.done = true;
        if (m_finished)
            m_finished();
    });
}

void ExportPipeline::frameWritten(int written, int total) {
    // A size budget's try at half the frame rate writes fewer frames than the source has.
    m_progress.frames = total;
    m_progress.framesWritten = written;
    m_progress.percent = total > 0 ? written * 100 / total : 100;
    // The stage and the timeline follow the export, but a fast export must not flood the
    // main window: at most one notice every kNoticeInterval, and always the last frame's.
    const auto now = std::chrono::steady_clock::now();
    if (!m_target || (written < total && now - m_lastNotice < kNoticeInterval))
        return;
    m_lastNotice = now;
    const FrameNotice notice = written < total ? FrameNotice::Export : FrameNotice::Stage;
    // The project frame of the last written one (a try that drops frames writes every n-th).
    const int step = std::max(m_source->shape().frameStep, 1) *
                     (total > 0 ? std::max(1, (m_source->duration() + total / 2) / total) : 1);
    m_target->post(MainMessage::CurrentFrame, static_cast<std::intptr_t>(notice),
                   (written - 1) * step);
}

void ExportPipeline::cancel() {
    if (!m_thread.joinable())
        return;
    m_cancel = true;
    join();
}

void ExportPipeline::join() {
    if (m_thread.joinable())
        m_thread.join();
}

bool ExportPipeline::isRunning() const {
    return m_thread.joinable() && !m_progress.done;
}

bool ExportPipeline::reportOutcome() {
    if (isRunning())
        return false;
    join();
    if (!m_result.error.empty())
        m_sink.show(m_result.error, kCaption, MessageIcon::Information);
    if (m_result.completed && m_source) {
        // The stage goes on from where drawing the frames in order leaves its playback.
        auto lock = m_document.lock();
        m_source->playbackAfterExport().store(lock.project(), lock.symbols());
    }
    return m_result.completed;
}
