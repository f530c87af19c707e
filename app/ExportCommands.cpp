#include "app/ExportCommands.h"

#include "dialogs/FileChooser.h"
#include "document/LanguageTable.h"
#include "export/ui/AviCodecDialog.h"
#include "export/ui/GifLoopDialog.h"
#include "export/ui/ProgressWindow.h"
#include "stage/ui/StageView.h"

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
      m_pipeline(parts.stage.canvas(), parts.stage.worker(), parts.sink, parts.target) {}

std::unique_ptr<FrameExporter> ExportCommands::makeExporter(ExportKind kind, int loops) {
    AviExporter::CodecChooser choose;
    if (kind == ExportKind::Avi)
        choose = m_answers.aviCodec ? m_answers.aviCodec
                                    : AviCodecDialog::chooser(m_parts.window, m_parts.texts);
    return ExportPipeline::makeExporter(kind, loops, GifLoopDialog::rememberedQuality(),
                                        std::move(choose));
}

bool ExportCommands::run(ExportKind kind) {
    m_canceller.wait(); // the last export's cancel, if it is still finishing
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
    if (!m_pipeline.start(path, makeExporter(kind, loops)))
        return false;
    ProgressWindow progress(m_pipeline.progress(), m_parts.texts, m_parts.window);
    progress.exec();
    if (m_pipeline.isRunning()) { // the window was closed early: the export is cancelled
        m_canceller.cancel(m_pipeline);
        return false;
    }
    return m_pipeline.reportOutcome();
}
