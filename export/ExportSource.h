#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/HitRegionTable.h"
#include "document/Project.h"
#include "stage/PlaybackState.h"

#include <QImage>

class Document;

// ExportShape: how an export shapes the project's frames: their size, their background, and
// which frames it keeps.
struct ExportShape {
    float zoom = 1.0f;        // frame size = the stage's times the zoom (truncated)
    bool transparent = false; // the stage's colour and picture left out, frames keep alpha
    int frameStep = 1;        // every n-th frame (2: half the frame rate); the rate divides by n
    int maxFrames = 0;        // at most this many of the project's frames (0: all)

    // The zoom that fits a stage of `width` x `height` into `boxWidth` x `boxHeight` (never
    // larger than the box, keeping the proportions).
    static float fit(int width, int height, int boxWidth, int boxHeight);
};

// ExportSource: what an export takes from the document, once, under its lock: a copy of the
// project with its symbol pictures, the playback state the stage left (the symbols' picture
// cursors, which the file carries), and the background picture. Every export frame is then
// drawn from the copy alone, on any thread and in any order, with the document's lock free:
// frame f shows what drawing the export's frames in order (the redraw of frame 0, then 0, 1,
// ...) would show.
class ExportSource {
public:
    // `zoom` scales the frames (the sample chooser's small previews); exports use 1.
    static ExportSource take(Document& document, float zoom = 1.0f);
    static ExportSource take(Document& document, const ExportShape& shape);
    // A source over a project given as it is (the background read from its path).
    static ExportSource of(Project project, EmbeddedSymbolList symbols, float zoom = 1.0f);
    // The same project in another shape (the pictures are shared, not copied).
    ExportSource reshaped(const ExportShape& shape) const;

    int width() const; // frame size in pixels: the stage's, times the zoom
    int height() const;
    // The frames the export writes, and their rate (the project's, divided by the step).
    int duration() const;
    int frameRate() const;
    const Project& project() const { return m_project; }
    const ExportShape& shape() const { return m_shape; }

    // Export frame `frame` (0 .. duration - 1) of the frame size: opaque RGB32, or ARGB32
    // (straight alpha) with a transparent background.
    QImage drawFrame(int frame) const;
    // The playback state once the project's last frame was drawn: where the stage goes on
    // after an export.
    PlaybackState playbackAfterExport() const;

private:
    void loadBackground();

    Project m_project;
    EmbeddedSymbolList m_symbols;
    HitRegionTable m_noRegions; // exports pick nothing
    QImage m_background;
    PlaybackState m_start;
    ExportShape m_shape;
};
