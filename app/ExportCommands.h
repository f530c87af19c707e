#pragma once

#include "export/AviExporter.h"
#include "export/ExportKind.h"
#include "export/ExportPipeline.h"
#include "export/ui/ExportCanceller.h"

#include <functional>
#include <optional>

class FileChooser;
class LanguageTable;
class MessageSink;
class MessageTarget;
class QWidget;
class StageView;

// ExportCommands: the main window's three export commands: the project check, the file
// choice, the loop dialog (GIF) or the codec choice (AVI), the export run on the stage worker
// at the preview's pace, and the progress window until the export ends; closing the progress
// window early cancels the export on a thread of its own and leaves no file.
class ExportCommands {
public:
    struct Parts {
        StageView& stage;
        MessageSink& sink;
        FileChooser& files;
        const LanguageTable& texts;
        QWidget* window;
        MessageTarget* target;
    };
    // What tests answer instead of the dialogs; empty members mean the program's dialogs.
    struct Answers {
        std::function<std::optional<int>()> gifLoops;
        AviExporter::CodecChooser aviCodec;
    };

    ExportCommands(const Parts& parts, Answers answers = {});

    // Runs the export of `kind`; true when a file was completed.
    bool run(ExportKind kind);
    ExportPipeline& pipeline() { return m_pipeline; }
    // Waits for a cancel that may still be finishing (before the window closes).
    void waitForCancel() { m_canceller.wait(); }

private:
    std::unique_ptr<FrameExporter> makeExporter(ExportKind kind, int loops);

    Parts m_parts;
    Answers m_answers;
    ExportPipeline m_pipeline;
    ExportCanceller m_canceller;
};
