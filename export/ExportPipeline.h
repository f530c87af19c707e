#pragma once

#include "export/ExportJob.h"
#include "export/ExportProgress.h"
#include "export/ExportRequest.h"
#include "export/ExportSource.h"
#include "export/SizeBudget.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <thread>

class Document;
class MessageSink;
class MessageTarget;

// ExportPipeline: the application's export around the one export road (ExportJob): the
// project check, clearing the way for the file, then the export itself on a
// thread of its own from a copy of the project taken at the start, while the progress window
// polls progress(). The frame written is announced to the main window (at most 20 times a
// second, and always the last), so that the timeline follows; the stage shows the last. Messages go
// to the user through the sink.
class ExportPipeline {
public:
    static constexpr const char* kNoAnimation = "No animation to export.";
    static constexpr const char* kFileInUse =
        "The file is currently used by another program, Overite failed.";
    static constexpr const char* kCaption = "Zentravo";
    // The shortest time between two frame notices to the main window.
    static constexpr std::chrono::milliseconds kNoticeInterval{50};

    ExportPipeline(Document& document, MessageSink& sink, MessageTarget* target);
    ~ExportPipeline(); // a running export is cancelled
    ExportPipeline(const ExportPipeline&) = delete;
    ExportPipeline& operator=(const ExportPipeline&) = delete;

    // False when there is nothing to export (no layer); the user is told.
    bool checkProject();
    // Deletes an existing output file; false (and the user is told) when that fails.
    bool clearOutput(const std::string& path);

    // Exports the document's project (as it is now) into `path` (already through outputPath()
    // and clearOutput()) with `exporter`: opens the file here, then draws and writes the
    // frames on threads of their own. False, with no file left, when it cannot be opened: the
    // exporter's message is shown, nothing when it has none (the user cancelled the codec
    // choice). `threads`: drawing threads, 0 for one per core; `shape`: the frames' size,
    // background and rate.
    bool start(const std::string& path, std::unique_ptr<FrameExporter> exporter, int threads = 0,
               const ExportShape& shape = ExportShape());
    // Exports as `request` asks, into `path`: the file is opened on the export's thread (these
    // formats ask nothing), a failure reported by reportOutcome().
    bool start(const std::string& path, const ExportRequest& request, int threads = 0);
    // After a request with a size budget: what the search found.
    const std::optional<SizeBudget::Result>& budgetResult() const { return m_budget; }
    // Called on the export's thread when it has ended (the progress window closes then).
    void setFinishedCallback(std::function<void()> finished) { m_finished = std::move(finished); }
    // Ends the running export within a frame's time: no file is left, nothing is said.
    void cancel();
    bool isRunning() const;
    // Returns once the running export has ended (headless callers and tests).
    void wait() { join(); }
    ExportProgress& progress() { return m_progress; }
    // Once the export is over (the progress window closed): shows the message of a write that
    // failed ("Write AVI error.") and returns whether the file was completed. A completed
    // export leaves the stage's playback where drawing its frames in order would have.
    bool reportOutcome();
    // The last export's result (after reportOutcome() or cancel()).
    const ExportJob::Result& result() const { return m_result; }

private:
    void join();
    // Starts `work` on the export's thread; it returns the export's result.
    void launch(std::function<ExportJob::Result(const ExportJob::Options&)> work, int threads);
    void frameWritten(int written, int total);

    Document& m_document;
    MessageSink& m_sink;
    MessageTarget* m_target;
    ExportProgress m_progress;
    std::unique_ptr<ExportSource> m_source;
    std::unique_ptr<FrameExporter> m_exporter;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::function<void()> m_finished;
    ExportJob::Result m_result;
    std::optional<SizeBudget::Result> m_budget;
    std::chrono::steady_clock::time_point m_lastNotice;
};
