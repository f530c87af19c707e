#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/HitRegionTable.h"
#include "document/Project.h"
#include "stage/PlaybackState.h"

#include <QImage>

class Document;

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
    // A source over a project given as it is (the background read from its path).
    static ExportSource of(Project project, EmbeddedSymbolList symbols, float zoom = 1.0f);

    int width() const; // frame size in pixels: the stage's, times the zoom
    int height() const;
    int duration() const { return m_project.header.duration; }
    int frameRate() const { return m_project.header.frameRate; }
    const Project& project() const { return m_project; }

    // Export frame `frame` (0 .. duration - 1): stage-sized, opaque RGB32.
    QImage drawFrame(int frame) const;
    // The playback state once the last frame was drawn: where the stage goes on after an
    // export.
    PlaybackState playbackAfterExport() const;

private:
    Project m_project;
    EmbeddedSymbolList m_symbols;
    HitRegionTable m_noRegions; // exports pick nothing
    QImage m_background;
    PlaybackState m_start;
    float m_zoom = 1.0f;
};
