#include "export/ExportSource.h"

#include "document/Document.h"
#include "document/FixedText.h"
#include "stage/FrameRenderer.h"
#include "stage/StageCanvas.h"

ExportSource ExportSource::take(Document& document, float zoom) {
    ExportSource source;
    {
        auto lock = document.lock();
        source.m_project = lock.project();
        source.m_symbols = lock.symbols();
    }
    source.m_start = PlaybackState::stored(source.m_project, source.m_symbols);
    source.m_zoom = zoom;
    source.m_background = StageCanvas::readBackgroundPicture(
        QString::fromLocal8Bit(fixedText(source.m_project.header.backgroundPicture)));
    return source;
}

ExportSource ExportSource::of(Project project, EmbeddedSymbolList symbols, float zoom) {
    ExportSource source;
    source.m_project = std::move(project);
    source.m_symbols = std::move(symbols);
    source.m_start = PlaybackState::stored(source.m_project, source.m_symbols);
    source.m_zoom = zoom;
    source.m_background = StageCanvas::readBackgroundPicture(
        QString::fromLocal8Bit(fixedText(source.m_project.header.backgroundPicture)));
    return source;
}

int ExportSource::width() const {
    return std::max(static_cast<int>(m_project.header.width * m_zoom), 1);
}

int ExportSource::height() const {
    return std::max(static_cast<int>(m_project.header.height * m_zoom), 1);
}

QImage ExportSource::drawFrame(int frame) const {
    QImage buffer(width(), height(), QImage::Format_RGB32);
    buffer.fill(FrameRenderer::kSurround);
    FrameRenderer::View view;
    view.zoom = m_zoom;
    view.frame = frame;
    view.editView = false;
    view.exporting = true;
    FrameRenderer::Selection selection;
    PlaybackState playback = PlaybackState::beforeExportFrame(m_project, m_symbols, m_start, frame);
    FrameRenderer::drawFrame(buffer, m_project, m_symbols, m_noRegions, m_background, view,
                             selection, playback);
    return buffer;
}

PlaybackState ExportSource::playbackAfterExport() const {
    return PlaybackState::beforeExportFrame(m_project, m_symbols, m_start, duration());
}
