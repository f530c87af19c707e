#include "export/ExportSource.h"

#include "document/Document.h"
#include "document/FixedText.h"
#include "stage/FrameRenderer.h"
#include "stage/StageCanvas.h"

#include <algorithm>

float ExportShape::fit(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return 1.0f;
    return std::min(static_cast<float>(boxWidth) / static_cast<float>(width),
                    static_cast<float>(boxHeight) / static_cast<float>(height));
}

ExportSource ExportSource::take(Document& document, float zoom) {
    ExportShape shape;
    shape.zoom = zoom;
    return take(document, shape);
}

ExportSource ExportSource::take(Document& document, const ExportShape& shape) {
    ExportSource source;
    {
        auto lock = document.lock();
        source.m_project = lock.project();
        source.m_symbols = lock.symbols();
    }
    source.m_shape = shape;
    source.loadBackground();
    return source;
}

ExportSource ExportSource::of(Project project, EmbeddedSymbolList symbols, float zoom) {
    ExportSource source;
    source.m_project = std::move(project);
    source.m_symbols = std::move(symbols);
    source.m_shape.zoom = zoom;
    source.loadBackground();
    return source;
}

void ExportSource::loadBackground() {
    m_start = PlaybackState::stored(m_project, m_symbols);
    m_background = StageCanvas::readBackgroundPicture(
        QString::fromLocal8Bit(fixedText(m_project.header.backgroundPicture)));
}

ExportSource ExportSource::reshaped(const ExportShape& shape) const {
    ExportSource source = *this;
    source.m_shape = shape;
    return source;
}

int ExportSource::width() const {
    return std::max(static_cast<int>(m_project.header.width * m_shape.zoom), 1);
}

int ExportSource::height() const {
    return std::max(static_cast<int>(m_project.header.height * m_shape.zoom), 1);
}

int ExportSource::duration() const {
    int frames = std::max(m_project.header.duration, 0);
    if (m_shape.maxFrames > 0)
        frames = std::min(frames, m_shape.maxFrames);
    const int step = std::max(m_shape.frameStep, 1);
    return (frames + step - 1) / step;
}

int ExportSource::frameRate() const {
    return m_project.header.frameRate / std::max(m_shape.frameStep, 1);
}

QImage ExportSource::drawFrame(int frame) const {
    QImage buffer(width(), height(),
                  m_shape.transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    FrameRenderer::View view;
    view.zoom = m_shape.zoom;
    view.frame = frame * std::max(m_shape.frameStep, 1);
    view.editView = false;
    view.exporting = true;
    view.transparent = m_shape.transparent;
    FrameRenderer::Selection selection;
    PlaybackState playback =
        PlaybackState::beforeExportFrame(m_project, m_symbols, m_start, view.frame);
    FrameRenderer::drawFrame(buffer, m_project, m_symbols, m_noRegions, m_background, view,
                             selection, playback);
    if (m_shape.transparent)
        return buffer.convertToFormat(QImage::Format_ARGB32);
    return buffer;
}

PlaybackState ExportSource::playbackAfterExport() const {
    return PlaybackState::beforeExportFrame(m_project, m_symbols, m_start,
                                            m_project.header.duration);
}
