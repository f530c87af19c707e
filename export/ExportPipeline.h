#pragma once

#include "export/AviExporter.h"
#include "export/ExportKind.h"
#include "export/ExportProgress.h"
#include "export/ExportRun.h"
#include "export/GifExporter.h"

#include <atomic>
#include <memory>
#include <string>

class MessageSink;
class MessageTarget;
class StageCanvas;
class StageWorker;

// ExportPipeline: starting and cancelling an export on the stage (UI thread side). Start
// checks the project, settles the output path, clears the way for the file, opens the
// format's exporter and hands the frames to the stage worker; the progress window then
// polls progress() until it is done. Messages go to the user through the sink.
class ExportPipeline {
public:
    static constexpr const char* kNoAnimation = "No animation to export.";
    static constexpr const char* kFileInUse =
        "The file is currently used by another program, Overite failed.";
    static constexpr const char* kCaption = "Zentravo";

    ExportPipeline(StageCanvas& canvas, StageWorker& worker, MessageSink& sink,
                   MessageTarget* target);

    // The output path for a chosen file: the kind's extension is appended unless the path's
    // last four characters, lower-cased, already are it.
    static std::string outputPath(const std::string& chosen, ExportKind kind);
    // The exporter of a kind: a GIF with its loop setting and palette mode, an AVI asking
    // `chooseCodec` for its codec, a SWF.
    static std::unique_ptr<FrameExporter> makeExporter(ExportKind kind, int loops,
                                                       GifQuality quality,
                                                       AviExporter::CodecChooser chooseCodec);

    // False when there is nothing to export (no layer); the user is told.
    bool checkProject();
    // Deletes an existing output file; false (and the user is told) when that fails.
    bool clearOutput(const std::string& path);

    // Runs the export of the stage's document into `path` (already through outputPath() and
    // clearOutput()) with `exporter`: opens it, prepares the stage and starts the frames.
    // False, with no file left, when it cannot be opened: the exporter's message is shown,
    // nothing when it has none (the user cancelled the codec choice).
    bool start(const std::string& path, std::unique_ptr<FrameExporter> exporter,
               int finishDelayMs = 200);
    // Cancels the running export (progress window closed early): no file is left behind.
    void cancel();

    bool isRunning() const;
    ExportProgress& progress() { return m_progress; }
    // The last export's outcome once progress().done is set.
    const ExportRun* lastRun() const { return m_run.get(); }
    // Once the export is over (the progress window closed): shows the message of a write that
    // failed on the way ("Write AVI error.") and returns whether the file was completed.
    bool reportOutcome();

private:
    StageCanvas& m_canvas;
    StageWorker& m_worker;
    MessageSink& m_sink;
    MessageTarget* m_target;
    ExportProgress m_progress;
    std::unique_ptr<ExportRun> m_run;
    // Set while cancel() runs (on a thread of its own): start() must not replace the run
    // that the cancel is still closing.
    std::atomic<bool> m_cancelling{false};
};
