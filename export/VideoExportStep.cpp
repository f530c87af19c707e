#include "export/VideoExportStep.h"

#include "stage/StageCanvas.h"

#include <QFile>
#include <QString>

#include <algorithm>

void VideoExportStep::started(const std::string& path, int duration) {
    m_path = path;
    m_duration = duration;
    m_message.clear();
    m_progress = 0;
    m_done = false;
    m_open = true;
}

void VideoExportStep::failed(const std::string& message) {
    abandonOutput();
    m_open = false;
    m_message = message;
    if (!m_path.empty()) QFile::remove(QString::fromStdString(m_path));
}

void VideoExportStep::exportFrame(const QImage& frame, StageCanvas& canvas) {
    if (!m_open) {
        // Nothing to write into: the export must not run on as if it were written.
        canvas.setExporting(false);
        return;
    }
    int f = canvas.currentFrame();
    const bool written = writeFrame(frame, f);
    ++f;
    if (!written || f >= m_duration) {
        end(canvas, written);
    } else {
        canvas.setCurrentFrame(f);
        if (m_callbacks.frameShown) m_callbacks.frameShown(f);
    }
    m_progress = m_duration > 0 ? std::min(f, m_duration) * 100 / m_duration : 100;
}

void VideoExportStep::end(StageCanvas& canvas, bool written) {
    // A failed write keeps the frames written so far; a failed close is reported too.
    const bool closed = closeOutput();
    m_open = false;
    if (!written || !closed) m_message = writeErrorMessage();
    canvas.setExporting(false);
    canvas.requestRedraw();
    m_done = true;
    if (m_callbacks.ended) m_callbacks.ended(written && closed);
}

void VideoExportStep::cancel() {
    if (m_open) abandonOutput();
    m_open = false;
    if (!m_path.empty()) QFile::remove(QString::fromStdString(m_path));
}
