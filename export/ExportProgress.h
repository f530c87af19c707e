#pragma once

#include <atomic>

// ExportProgress: what a running export tells the progress window, which polls it: the
// percentage and the number of frames written, of how many, and whether the export has ended.
// All are reset when an export starts.
struct ExportProgress {
    std::atomic<int> percent{0};
    std::atomic<int> framesWritten{0};
    std::atomic<int> frames{0};
    std::atomic<bool> done{false};

    void reset(int total = 0) {
        percent = 0;
        framesWritten = 0;
        frames = total;
        done = false;
    }
};
