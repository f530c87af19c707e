#include "stage/StageCanvas.h"

#include "document/FixedText.h"
#include "import/PictureAllocator.h"
#include "stage/PlaybackState.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

StageCanvas::StageCanvas(Document& document) : m_document(document) {
    m_resizeHandles = FrameRenderer::resizeHandles(m_stageWidth, m_stageHeight);
}

void StageCanvas::setStageSize(int width, int height) {
    auto lock = m_document.lock();
    m_stageWidth = width;
    m_stageHeight = height;
    setZoomLocked(m_zoom);
}

void StageCanvas::setClientSize(QSize size) {
    auto lock = m_document.lock();
    m_clientSize = size;
    makeViewBackBufferLocked();
}

void StageCanvas::setZoom(float zoom) {
    auto lock = m_document.lock();
    setZoomLocked(zoom);
    makeViewBackBufferLocked();
}

void StageCanvas::setZoomLocked(float zoom) {
    m_zoom = zoom;
    m_resizeHandles = FrameRenderer::resizeHandles(static_cast<int>(m_stageWidth * zoom),
                                                   static_cast<int>(m_stageHeight * zoom));
}

void StageCanvas::setScroll(int x, int y) {
    auto lock = m_document.lock();
    m_scrollX = x;
    m_scrollY = y;
}

void StageCanvas::makeViewBackBuffer() {
    auto lock = m_document.lock();
    makeViewBackBufferLocked();
}

void StageCanvas::makeViewBackBufferLocked() {
    const float zoom = m_zoom;
    makeBackBuffer(std::max(static_cast<int>(m_stageWidth * zoom + 20), m_clientSize.width()),
                   std::max(static_cast<int>(m_stageHeight * zoom + 20), m_clientSize.height()));
}

void StageCanvas::makeBackBuffer(int width, int height) {
    // The buffer is always opaque; 32-bit RGB keeps it cheap to paint on and to copy out.
    m_buffer = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    m_buffer.fill(FrameRenderer::kSurround);
}

QImage StageCanvas::backBuffer() {
    auto lock = m_document.lock();
    return m_buffer;
}

QImage StageCanvas::readBackgroundPicture(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(false);
    // Qt's own limit (128 MiB) refuses photos over 33 megapixels; the picture readers' limit
    // holds any camera's picture, at up to 8 bytes a pixel while decoding.
    reader.setAllocationLimit(static_cast<int>(PictureAllocator::pixelLimit() * 8 >> 20));
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void StageCanvas::loadBackgroundPicture() {
    QString path;
    {
        auto lock = m_document.lock();
        path = QString::fromLocal8Bit(fixedText(lock.project().header.backgroundPicture));
    }
    // Read without the lock: the worker may draw meanwhile.
    const QImage background = readBackgroundPicture(path);
    auto lock = m_document.lock();
    m_background = background;
}

void StageCanvas::drawFrame(Document::Lock& lock) {
    if (m_buffer.isNull())
        return;
    m_drawing = true;
    FrameRenderer::View view;
    view.zoom = m_zoom;
    view.scrollX = m_scrollX;
    view.scrollY = m_scrollY;
    view.frame = m_document.currentFrame();
    view.editView = m_editView;
    view.hitRegions = &m_hitRegions;
    // The stage's playback goes on from where its last frame left it.
    PlaybackState playback = PlaybackState::stored(lock.project(), lock.symbols());
    FrameRenderer::drawFrame(m_buffer, lock.project(), lock.symbols(), lock.hitRegions(),
                             m_background, view, m_selection, playback);
    playback.store(lock.project(), lock.symbols());
    m_lastDrawnFrame = view.frame;
    ++m_drawCount;
    m_drawing = false;
}

const std::optional<QPolygonF>& StageCanvas::hitRegion(const Document::Lock& lock,
                                                       int index) const {
    static const std::optional<QPolygonF> kNone;
    // The regions are the last drawn frame's, by object index: after objects were added or
    // removed and before the next draw, an index may name another object, so none is given.
    const bool current = m_hitRegions.size() == lock.project().objects.count();
    return current && index >= 0 && static_cast<std::size_t>(index) < m_hitRegions.size()
               ? m_hitRegions[static_cast<std::size_t>(index)]
               : kNone;
}

void StageCanvas::togglePreview() {
    m_playing = !m_playing;
    previewChanged();
}

void StageCanvas::startPreview() {
    m_playing = true;
    previewChanged();
}

void StageCanvas::finishPreview(Document::Lock&) {
    m_playing = false;
    previewChanged();
}

bool StageCanvas::stopPreview() {
    if (!m_playing.exchange(false))
        return false;
    {
        // The worker draws a preview frame with the lock held: taking it waits for that frame.
        auto lock = m_document.lock();
    }
    previewChanged();
    return true;
}

void StageCanvas::previewChanged() {
    if (m_previewListener)
        m_previewListener();
}
