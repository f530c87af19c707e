#pragma once

#include "document/Document.h"
#include "document/PreviewControl.h"
#include "stage/FrameRenderer.h"

#include <QImage>
#include <QPolygonF>
#include <QSize>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// StageCanvas: the drawing side of the stage view without a window: the back buffer, zoom,
// scroll position, the objects' hit regions as last drawn, and the flags the UI thread and the
// stage worker share. The document it draws owns the model, the current frame and the one
// lock. Drawing keeps the stage's playback (symbol picture cursors, symbol times) in the
// records' run-time fields, so that a save carries what the stage showed.
//
// Threads: the back buffer and the drawing state are guarded by the document's lock, like the
// model: methods that change them take it themselves, except those that take a
// Document::Lock, whose caller holds it. The flags are atomics.
class StageCanvas : public PreviewControl {
public:
    explicit StageCanvas(Document& document);

    Document& document() { return m_document; }

    // Stage size in stage pixels; places the three resize handles of the zoomed stage.
    void setStageSize(int width, int height);
    int stageWidth() const { return m_stageWidth; }
    int stageHeight() const { return m_stageHeight; }
    const std::array<QRect, 3>& resizeHandles(const Document::Lock&) const {
        return m_resizeHandles;
    }

    void setClientSize(QSize size);
    void setZoom(float zoom);
    float zoom() const { return m_zoom; }
    void setScroll(int x, int y);

    // Back buffer of the view: max(stage x zoom + 20, client) each way.
    void makeViewBackBuffer();
    // A shallow copy of the back buffer, for painting or checking what was drawn.
    QImage backBuffer();
    // The back buffer itself, while the caller holds the lock.
    const QImage& backBuffer(const Document::Lock&) const { return m_buffer; }

    // Loads the project's background picture when its path names a readable picture;
    // otherwise there is none.
    void loadBackgroundPicture();
    // A background picture read from `path` (null when it is none or unreadable); read with
    // the picture readers' size limit.
    static QImage readBackgroundPicture(const QString& path);

    // Draws the document's current frame into the back buffer.
    void drawFrame(Document::Lock& lock);

    void requestRedraw() {
        m_redrawRequested = true;
        ++m_redrawRequests;
    }
    bool redrawRequested() const { return m_redrawRequested; }
    void clearRedrawRequest() { m_redrawRequested = false; }
    // How many redraws were requested since the canvas was made (tests count them).
    int redrawRequests() const { return m_redrawRequests; }

    // The document's current frame.
    int currentFrame() const { return m_document.currentFrame(); }
    void setCurrentFrame(int frame) { m_document.setCurrentFrame(frame); }

    bool isPlaying() const { return m_playing; }
    void togglePreview();
    // Stops the preview and returns once the frame in progress is finished; true when it was
    // playing.
    bool stopPreview() override;
    void startPreview() override;
    // The worker's end of a preview that reached the last frame (it holds the lock).
    void finishPreview(Document::Lock&);
    // Called whenever the preview starts or stops, on the thread that started or stopped it
    // (the worker's end of a preview included): the play button follows the real state.
    void setPreviewListener(std::function<void()> listener) {
        m_previewListener = std::move(listener);
    }

    bool editView() const { return m_editView; }
    void setEditView(bool on) { m_editView = on; }
    // True while a frame is being drawn (the exit waits for it).
    bool isDrawing() const { return m_drawing; }

    // What the last drawn frame left for hit tests (read while holding the lock).
    const FrameRenderer::Selection& selection(const Document::Lock&) const { return m_selection; }
    // Object `index`'s hit region as last drawn (zoomed stage coordinates); none before it
    // was drawn or without a region slot.
    const std::optional<QPolygonF>& hitRegion(const Document::Lock&, int index) const;
    int lastDrawnFrame() const { return m_lastDrawnFrame; }
    int drawCount() const { return m_drawCount; }

private:
    void previewChanged();
    void makeBackBuffer(int width, int height);
    void makeViewBackBufferLocked();
    void setZoomLocked(float zoom);

    Document& m_document;
    QImage m_buffer;
    QImage m_background;
    FrameRenderer::Selection m_selection;
    std::vector<std::optional<QPolygonF>> m_hitRegions;
    std::array<QRect, 3> m_resizeHandles{};
    QSize m_clientSize;
    std::atomic<float> m_zoom{1.0f};
    std::atomic<int> m_stageWidth{320};
    std::atomic<int> m_stageHeight{120};
    int m_scrollX = 0;
    int m_scrollY = 0;
    std::atomic<int> m_lastDrawnFrame{-1};
    std::atomic<int> m_drawCount{0};
    std::atomic<int> m_redrawRequests{0};
    std::function<void()> m_previewListener;
    std::atomic<bool> m_playing{false};
    std::atomic<bool> m_redrawRequested{false};
    std::atomic<bool> m_editView{true};
    std::atomic<bool> m_drawing{false};
};
