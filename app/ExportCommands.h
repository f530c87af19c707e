#pragma once

#include "export/AviExporter.h"
#include "export/ExportKind.h"
#include "export/ExportOptions.h"
#include "export/ExportPipeline.h"

#include <functional>
#include <optional>

class FileChooser;
class LanguageTable;
class MessageSink;
class MessageTarget;
class QWidget;
class StageView;

// ExportCommands: the main window's three export commands: the project check, the file
// choice, the loop dialog (GIF) or the codec choice (AVI), the export on threads of its own as
// fast as the machine draws, and the progress window until the export ends; closing the
// progress window early cancels the export within a frame's time and leaves no file.
class ExportCommands {
public:
    struct Parts {
        StageView& stage;
        MessageSink& sink;
        FileChooser& files;
        const LanguageTable& texts;
        QWidget* window;
        MessageTarget* target;
        Document& document;
    };
    // What tests answer instead of the dialogs; empty members mean the program's dialogs.
    struct Answers {
        std::function<std::optional<int>()> gifLoops;
        AviExporter::CodecChooser aviCodec;
        // The export dialog, shown with the options and file of the last export: the options
        // and the output path chosen.
        std::function<std::optional<std::pair<ExportOptions, QString>>(const ExportOptions&,
                                                                       const QString&)>
            exportDialog;
    };

    ExportCommands(const Parts& parts, Answers answers = {});

    // Runs the export of one of the first three formats (GIF, AVI, SWF) with its own dialogs;
    // true when a file was completed.
    bool run(ExportKind kind);
    // "Export Video or Image...": any format of the table through the export dialog, whose
    // values are remembered while the program runs; true when a file was completed.
    bool runChosen();
    const ExportOptions& lastOptions() const { return m_options; }
    ExportPipeline& pipeline() { return m_pipeline; }
    // Drawing threads of the next exports (0: one per core; the benchmarks compare).
    void setDrawingThreads(int threads) { m_threads = threads; }

private:
    // The export started: the progress window until it ends; true when the file was completed.
    bool watch();

    Parts m_parts;
    Answers m_answers;
    ExportPipeline m_pipeline;
    ExportOptions m_options;
    QString m_path; // the file of the last export through the dialog
    int m_threads = 0;
};
