#pragma once

#include "export/ExportFormat.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"

#include <cstdint>
#include <string>
#include <vector>

// SizeBudget: "fit in N KB". The export is made as chosen; when the file is larger than the
// budget, it gives up first quality, then (GIF) colours, then, only when the user allowed it,
// half the frame rate (every other frame), searching for the best file that fits with at most
// kMaxEncodes encodes. It says what it gave up ("quality 62, 12 fps"), or that the budget
// cannot be met and how close it came; the closest file is kept or not, as the user chose.
class SizeBudget {
public:
    static constexpr int kMaxEncodes = 6;
    // Colours a GIF may come down to, in order.
    static constexpr int kColourSteps[] = {128, 64, 32, 16};

    struct Limits {
        std::int64_t bytes = 0;     // the budget
        bool mayDropFrames = false; // every other frame, when the rate is even
        bool keepClosest = true;    // over budget: keep the smallest file, or none
    };
    // One try: the settings it encodes with.
    struct Try {
        int quality = -1; // -1: the format's default
        int colours = 256;
        int frameStep = 1;
        bool operator==(const Try&) const = default;
    };
    struct Result {
        ExportJob::Result job;  // of the file kept (completed: a file is there)
        bool fits = false;      // the kept file is within the budget
        std::int64_t bytes = 0; // its size (the smallest tried when none fits)
        int encodes = 0;        // how many tries were encoded
        Try kept;               // the settings of the file kept
        std::string summary;    // what was given up, or why the budget is not met
    };

    // The tries from the chosen settings down to the smallest the format and the limits allow,
    // in the order things are given up: qualities, colours, then the frame rate.
    static std::vector<std::vector<Try>> phases(const ExportFormat& format, const Try& chosen,
                                                const Limits& limits, int frameRate);
    // What a try gives up against the chosen settings: "quality 62, 64 colours, 12 fps".
    static std::string describe(const Try& chosen, const Try& kept, int frameRate);

    // Exports `source` into `path` as `format` within the budget.
    static Result run(const ExportSource& source, const ExportFormat& format,
                      const ExportChoice& choice, const std::string& path, const Limits& limits,
                      const ExportJob::Options& options);
};
