#pragma once

#include "document/Document.h"
#include "document/PreviewControl.h"
#include "stage/FrameRenderer.h"

#include <QImage>
#include <QSize>

#include <array>
#include <atomic>
#include <functional>

// StageCanvas: the drawing side of the stage view without a window: the back buffer, zoom,
// scroll position and the flags the UI thread and the stage worker share. The document it
// draws owns the model, the current frame and the one lock.
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

    // Back buffer of the view: max(stage x zoom + 20, client) each way; of an export: exactly
    // stage x zoom (the stage's size at zoom 1).
    void makeViewBackBuffer();
    void makeExportBackBuffer();
    // A shallow copy of the back buffer, for painting or checking what was drawn.
    QImage backBuffer();
    // The back buffer itself, while the caller holds the lock.
    const QImage& backBuffer(const Document::Lock&) const { return m_buffer; }

    // Export: beginExport() (UI thread) shows frame 0 at zoom 1 in a stage-sized buffer with
    // edit view off, requests a redraw and sets the exporting flag; endExport() (the worker,
    // holding the lock, after the last frame) and cancelExport() (any thread but the worker)
    // clear it and bring back the zoom and the view buffer; a cancel also turns edit view back
    // on and first waits for the frame being captured.
    // `zoom` other than 1 scales the exported frames (preview pictures of samples).
    void beginExport(float zoom = 1.0f);
    void endExport(Document::Lock& lock);
    void cancelExport();

    // Loads the project's background picture when its path names a readable picture;
    // otherwise there is none.
    void loadBackgroundPicture();

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
    bool isExporting() const { return m_exporting; }
    void setExporting(bool on) { m_exporting = on; }
    bool isCapturing() const { return m_capturing; }
    void setCapturing(bool on) { m_capturing = on; }

    // What the last drawn frame left for hit tests (read while holding the lock).
    const FrameRenderer::Selection& selection(const Document::Lock&) const { return m_selection; }
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
    std::array<QRect, 3> m_resizeHandles{};
    QSize m_clientSize;
    std::atomic<float> m_zoom{1.0f};
    float m_savedZoom = 1.0f;
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
    std::atomic<bool> m_exporting{false};
    std::atomic<bool> m_capturing{false};
};
