#pragma once

#include <QImage>

#include <functional>
#include <string>

class Document;
class FrameExporter;

// BatchExport: an export without a window or the preview's pace. The frames are drawn by the
// stage worker's own passes (the redraw that starting an export requests, then one export
// frame per pass), driven here without its thread or its clock, so the encoder gets exactly
// the frames the application's export gives it. One thread draws frame f + 1 while the
// calling thread writes frame f.
class BatchExport {
public:
    struct Progress {
        std::function<void(int percent)> report; // optional
        std::function<bool()> cancelled;         // optional
    };
    // Receives export frame `index` (0, 1, ...); false stops the drawing.
    using FrameSink = std::function<bool(QImage frame, int index)>;

    // Writes `path` (opened by the exporter) and returns true when every frame was written
    // and the file completed. On failure or cancel no file is left and `error` says why
    // (empty when cancelled).
    static bool run(Document& document, FrameExporter& exporter, const std::string& path,
                    const Progress& progress, std::string& error, float zoom = 1.0f);

    // Draws the frames an export of `document` hands its encoder, in order, at `zoom`.
    static void drawExportFrames(Document& document, float zoom, const FrameSink& sink);
};
