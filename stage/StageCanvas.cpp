#include "stage/StageCanvas.h"

#include "document/Project.h"
#include "document/FixedText.h"
#include "import/PictureAllocator.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

StageCanvas::StageCanvas() {
    m_resizeHandles = FrameRenderer::resizeHandles(m_stageWidth, m_stageHeight);
}

void StageCanvas::setModel(Project* project, EmbeddedSymbolList* symbols,
                           const HitRegionTable* regions) {
    std::lock_guard lock(m_mutex);
    m_project = project;
    m_symbols = symbols;
    m_regions = regions;
}

void StageCanvas::setStageSize(int width, int height) {
    std::lock_guard lock(m_mutex);
    m_stageWidth = width;
    m_stageHeight = height;
    m_resizeHandles = FrameRenderer::resizeHandles(static_cast<int>(width * m_zoom),
                                                   static_cast<int>(height * m_zoom));
}

void StageCanvas::setClientSize(QSize size) {
    {
        std::lock_guard lock(m_mutex);
        m_clientSize = size;
    }
    if (!m_exporting)
        makeViewBackBuffer();
}

void StageCanvas::setZoom(float zoom) {
    std::lock_guard lock(m_mutex);
    setZoomLocked(zoom);
    if (!m_exporting)
        makeViewBackBufferLocked();
}

void StageCanvas::setZoomLocked(float zoom) {
    m_zoom = zoom;
    m_resizeHandles = FrameRenderer::resizeHandles(static_cast<int>(m_stageWidth * zoom),
                                                   static_cast<int>(m_stageHeight * zoom));
}

void StageCanvas::setScroll(int x, int y) {
    std::lock_guard lock(m_mutex);
    m_scrollX = x;
    m_scrollY = y;
}

void StageCanvas::makeViewBackBuffer() {
    std::lock_guard lock(m_mutex);
    makeViewBackBufferLocked();
}

void StageCanvas::makeViewBackBufferLocked() {
    makeBackBuffer(std::max(static_cast<int>(m_stageWidth * m_zoom + 20), m_clientSize.width()),
                   std::max(static_cast<int>(m_stageHeight * m_zoom + 20), m_clientSize.height()));
}

void StageCanvas::makeExportBackBuffer() {
    std::lock_guard lock(m_mutex);
    makeBackBuffer(static_cast<int>(m_stageWidth * m_zoom),
                   static_cast<int>(m_stageHeight * m_zoom));
}

void StageCanvas::makeBackBuffer(int width, int height) {
    // The buffer is always opaque; 32-bit RGB keeps it cheap to paint on and to copy out.
    m_buffer = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_buffer.fill(FrameRenderer::kSurround);
}

void StageCanvas::beginExport(float zoom) {
    std::lock_guard lock(m_mutex);
    m_currentFrame = 0;
    m_savedZoom = m_zoom;
    setZoomLocked(zoom);
    makeBackBuffer(static_cast<int>(m_stageWidth * zoom), static_cast<int>(m_stageHeight * zoom));
    m_redrawRequested = true;
    m_exporting = true;
    m_editView = false;
}

void StageCanvas::endExportLocked() {
    m_exporting = false;
    setZoomLocked(m_savedZoom);
    makeViewBackBufferLocked();
    m_redrawRequested = true;
}

void StageCanvas::cancelExport() {
    m_exporting = false; // the worker starts no further frame
    m_editView = true;
    // The worker captures with the lock held: taking it waits for the frame in progress.
    std::lock_guard lock(m_mutex);
    setZoomLocked(m_savedZoom);
    makeViewBackBufferLocked();
    m_redrawRequested = true;
}

QImage StageCanvas::backBuffer() {
    std::lock_guard lock(m_mutex);
    return m_buffer;
}

void StageCanvas::loadBackgroundPicture() {
    std::lock_guard lock(m_mutex);
    m_background = QImage();
    if (!m_project)
        return;
    const QString path = QString::fromLocal8Bit(fixedText(m_project->header.backgroundPicture));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(false);
    // Qt's own limit (128 MiB) refuses photos over 33 megapixels; the picture readers' limit
    // holds any camera's picture, at up to 8 bytes a pixel while decoding.
    reader.setAllocationLimit(static_cast<int>(PictureAllocator::pixelLimit() * 8 >> 20));
    m_background = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void StageCanvas::drawFrame() {
    if (!m_project || !m_symbols || !m_regions || m_buffer.isNull())
        return;
    FrameRenderer::View view;
    view.zoom = m_zoom;
    view.scrollX = m_scrollX;
    view.scrollY = m_scrollY;
    view.frame = m_currentFrame;
    view.editView = m_editView;
    view.exporting = m_exporting;
    FrameRenderer::drawFrame(m_buffer, *m_project, *m_symbols, *m_regions, m_background, view,
                             m_selection);
    m_lastDrawnFrame = view.frame;
    ++m_drawCount;
}

int StageCanvas::duration() const {
    return m_project ? m_project->header.duration : 0;
}

bool StageCanvas::goToFrame(int frame) {
    if (frame < 0 || frame >= duration())
        return false;
    stopPreview();
    m_currentFrame = frame;
    requestRedraw();
    return true;
}

void StageCanvas::stepTo(int frame) {
    m_editView = false;
    stopPreview();
    m_currentFrame = frame;
    requestRedraw();
}

void StageCanvas::nextFrame() {
    const int next = m_currentFrame + 1;
    stepTo(next >= duration() ? 0 : next);
}

void StageCanvas::previousFrame() {
    stepTo(m_currentFrame == 0 ? std::max(duration() - 1, 0) : m_currentFrame - 1);
}

void StageCanvas::firstFrame() {
    stepTo(0);
}

void StageCanvas::lastFrame() {
    stepTo(std::max(duration() - 1, 0));
}

void StageCanvas::stopPreview() {
    if (!m_playing)
        return;
    m_playing = false;
    // The worker draws a preview frame with the lock held: taking it waits for that frame.
    std::lock_guard lock(m_mutex);
}
