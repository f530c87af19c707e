#pragma once

#include <functional>
#include <string>

class ExportSource;
class FrameExporter;

// ExportJob: the one road of every export, the application's and the command line's. Frames
// are drawn (and prepared: the work of each frame that needs no other) on worker threads, as
// many as there are cores, at most a few frames ahead of the writer, and handed to the
// exporter in order on the calling thread. The document's lock is never taken: the source is
// a copy. A failure or a cancel leaves no file.
class ExportJob {
public:
    struct Options {
        int threads = 0; // drawing threads; 0: one per core
        // After each frame written (on the calling thread): frames written so far, of total.
        std::function<void(int written, int total)> progress;
        // Polled between frames and while waiting for one: true ends the export.
        std::function<bool()> cancelled;
    };
    struct Result {
        bool completed = false; // every frame written and the file completed
        bool cancelled = false;
        std::string error; // why not, for the user (empty when cancelled)
    };

    // Opens the exporter's file for `source`'s frames; false (and the file removed) when it
    // cannot, with the exporter's message in `error` (empty for a choice the user cancelled).
    static bool open(const ExportSource& source, FrameExporter& exporter, const std::string& path,
                     std::string& error, int threads = 0);
    // Writes every frame into the opened exporter and completes the file.
    static Result encode(const ExportSource& source, FrameExporter& exporter,
                         const std::string& path, const Options& options);
    // open(), then encode().
    static Result run(const ExportSource& source, FrameExporter& exporter, const std::string& path,
                      const Options& options);

    // The drawing threads `threads` asks for (0: the machine's cores).
    static int threadCount(int threads);
};
