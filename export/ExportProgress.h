#pragma once

#include <atomic>

// ExportProgress: what a running export tells the progress window, which polls it: the
// percentage of frames written and whether the export has ended. Both are reset when an
// export starts.
struct ExportProgress {
    std::atomic<int> percent{0};
    std::atomic<bool> done{false};

    void reset() {
        percent = 0;
        done = false;
    }
};
