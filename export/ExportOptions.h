#pragma once

#include "export/ExportRequest.h"

#include <optional>
#include <string>
#include <vector>

struct ProjectHeader;

// ExportPreset: a set of limits for a common use (a sticker, a banner), read from the
// program's presets data (export/presets.json), never written in code.
struct ExportPreset {
    std::string name;
    std::string format; // an id of the format table
    int maxWidth = 0;   // fit in maxWidth x maxHeight (0: the stage's size)
    int maxHeight = 0;
    int maxSeconds = 0; // at most this long (0: the whole animation)
    int budgetKB = 0;   // a size budget (0: none)
    bool transparent = false;

    static const std::vector<ExportPreset>& all();
};

// ExportOptions: what the export dialog and the command line choose: a format of the table,
// the size (a scale, or a box to fit in), the quality, the loops, a transparent background,
// a size budget and a length limit. request() turns them into the export of a project.
struct ExportOptions {
    std::string format = "mp4";
    int scalePercent = 100; // 25..200, unless the frames fit a box
    bool fit = false;
    int fitWidth = 512;
    int fitHeight = 512;
    int quality = -1; // 0..100; -1: the format's default
    int loops = 0;    // 0 forever, 1 once, n plays
    bool transparent = false;
    bool lossless = false;
    int budgetKB = 0; // 0: no budget
    bool mayDropFrames = false;
    bool keepClosest = true;
    int maxSeconds = 0; // 0: the whole animation

    // Takes a preset's format and limits.
    void apply(const ExportPreset& preset);
    // The export of a project with `header`; none, with the reason in `error`, for a choice
    // that cannot be made (an unknown format, a scale out of range).
    std::optional<ExportRequest> request(const ProjectHeader& header, std::string* error) const;
};
