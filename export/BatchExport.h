#pragma once

#include <functional>
#include <string>

class EmbeddedSymbolList;
class FrameExporter;
class HitRegionTable;
class Project;

// BatchExport: an export without a window or the preview's pace: every frame of the project
// is drawn at zoom 1 with edit view off, exactly as the stage worker draws it for an export,
// and handed to the exporter in order. One thread draws frame f + 1 while the calling thread
// writes frame f; the output is the same as a frame-by-frame export.
class BatchExport {
public:
    struct Progress {
        std::function<void(int percent)> report; // optional
        std::function<bool()> cancelled;         // optional
    };

    // Writes `path` (opened by the exporter) and returns true when every frame was written
    // and the file completed. On failure or cancel no file is left and `error` says why
    // (empty when cancelled).
    static bool run(Project& project, EmbeddedSymbolList& symbols, const HitRegionTable& regions,
                    FrameExporter& exporter, const std::string& path, const Progress& progress,
                    std::string& error, float zoom = 1.0f);
};
