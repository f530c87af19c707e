#include "export/ExportPipeline.h"

#include "document/MessageSink.h"
#include "export/SwfExporter.h"
#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

ExportPipeline::ExportPipeline(StageCanvas& canvas, StageWorker& worker, MessageSink& sink,
                               MessageTarget* target)
    : m_canvas(canvas), m_worker(worker), m_sink(sink), m_target(target) {}

std::unique_ptr<FrameExporter> ExportPipeline::makeExporter(ExportKind kind, int loops,
                                                            GifQuality quality,
                                                            AviExporter::CodecChooser chooseCodec) {
    switch (kind) {
    case ExportKind::Avi:
        return std::make_unique<AviExporter>(std::move(chooseCodec));
    case ExportKind::Swf:
        return std::make_unique<SwfExporter>();
    default:
        return std::make_unique<GifExporter>(loops, quality);
    }
}

std::string ExportPipeline::outputPath(const std::string& chosen, ExportKind kind) {
    const std::string_view extension = exportExtension(kind);
    if (chosen.size() >= extension.size()) {
        std::string tail = chosen.substr(chosen.size() - extension.size());
        std::transform(tail.begin(), tail.end(), tail.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (tail == extension)
            return chosen;
    }
    return chosen + std::string(extension);
}

bool ExportPipeline::checkProject() {
    {
        auto lock = m_canvas.document().lock();
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
                           int finishDelayMs) {
    if (isRunning() || m_cancelling)
        return false;
    ProjectHeader h;
    {
        auto lock = m_canvas.document().lock();
        h = lock.project().header;
    }
    if (!exporter->open(path, h.width, h.height, h.frameRate)) {
        if (!exporter->error().empty()) // an empty message is a cancelled choice
            m_sink.show(exporter->error(), kCaption, MessageIcon::Information);
        QFile::remove(QString::fromLocal8Bit(path.c_str()));
        return false;
    }
    m_progress.reset();
    m_run = std::make_unique<ExportRun>(std::move(exporter), path, h.duration, m_progress, m_target,
                                        finishDelayMs);
    m_worker.setExportStep(m_run.get());
    m_canvas.beginExport();
    return true;
}

void ExportPipeline::cancel() {
    if (!m_run || !isRunning())
        return;
    m_cancelling = true;
    m_run->cancel(m_canvas);
    m_cancelling = false;
}

bool ExportPipeline::reportOutcome() {
    if (!m_run || isRunning())
        return false;
    const std::string error = m_run->error();
    if (!error.empty())
        m_sink.show(error, kCaption, MessageIcon::Information);
    return m_run->succeeded();
}

bool ExportPipeline::isRunning() const {
    return m_canvas.isExporting();
}
