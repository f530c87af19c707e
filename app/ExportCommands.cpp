#include "app/ExportCommands.h"

#include "dialogs/FileChooser.h"
#include "document/LanguageTable.h"
#include "export/ui/AviCodecDialog.h"
#include "export/ui/GifLoopDialog.h"
#include "export/ui/ProgressWindow.h"
#include "stage/ui/StageView.h"

#include <QMetaObject>

namespace {

const char* filterOf(ExportKind kind) {
    switch (kind) {
    case ExportKind::Avi:
        return "(*.avi)|*.avi||";
    case ExportKind::Swf:
        return "(*.swf)|*.swf||";
    default:
        return "(*.gif)|*.gif||";
    }
}

} // namespace

ExportCommands::ExportCommands(const Parts& parts, Answers answers)
    : m_parts(parts), m_answers(std::move(answers)),
      m_pipeline(parts.document, parts.sink, parts.target) {}

std::unique_ptr<FrameExporter> ExportCommands::makeExporter(ExportKind kind, int loops) {
    AviExporter::CodecChooser choose;
    if (kind == ExportKind::Avi)
        choose = m_answers.aviCodec ? m_answers.aviCodec
                                    : AviCodecDialog::chooser(m_parts.window, m_parts.texts);
    return ExportPipeline::makeExporter(kind, loops, GifLoopDialog::rememberedQuality(),
                                        std::move(choose));
}

bool ExportCommands::run(ExportKind kind) {
    if (!m_pipeline.checkProject())
        return false;
    FileRequest request;
    request.filter = QString::fromLatin1(filterOf(kind));
    const QString chosen = m_parts.files.saveFile(m_parts.window, request);
    if (chosen.isEmpty())
        return false;
    const std::string path = ExportPipeline::outputPath(chosen.toLocal8Bit().toStdString(), kind);
    int loops = 0;
    if (kind == ExportKind::Gif) {
        const std::optional<int> answer =
            m_answers.gifLoops ? m_answers.gifLoops()
                               : GifLoopDialog::ask(m_parts.window, m_parts.texts, &m_parts.sink);
        if (!answer)
            return false;
        loops = *answer;
    }
    if (!m_pipeline.clearOutput(path))
        return false;
    StageCanvas& canvas = m_parts.stage.canvas();
    canvas.stopPreview();
    if (!m_pipeline.start(path, makeExporter(kind, loops), m_threads))
        return false;
    canvas.setEditView(false); // the stage follows the export's frames, without handles
    ProgressWindow progress(m_pipeline.progress(), m_parts.texts, m_parts.window);
    // The window closes as soon as the export ends, not at its next poll.
    m_pipeline.setFinishedCallback([&progress] {
        QMetaObject::invokeMethod(
            &progress, [&progress] { progress.finish(); }, Qt::QueuedConnection);
    });
    progress.exec();
    // Either way the export's thread has ended (joined) before the window goes.
    const bool cancelled = m_pipeline.isRunning(); // the window was closed early
    bool completed = false;
    if (cancelled)
        m_pipeline.cancel();
    else
        completed = m_pipeline.reportOutcome();
    m_pipeline.setFinishedCallback({});
    if (cancelled)
        canvas.setEditView(true);
    canvas.requestRedraw(); // after a completed export: the last frame, as the export left it
    return completed;
}
