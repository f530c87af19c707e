#include "app/ExportCommands.h"

#include "dialogs/FileChooser.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "export/ui/AviCodecDialog.h"
#include "export/ui/ExportDialog.h"
#include "export/ui/GifLoopDialog.h"
#include "export/ui/ProgressWindow.h"
#include "stage/ui/StageView.h"

#include <QDir>
#include <QMetaObject>

ExportCommands::ExportCommands(const Parts& parts, Answers answers)
    : m_parts(parts), m_answers(std::move(answers)),
      m_pipeline(parts.document, parts.sink, parts.target) {}

bool ExportCommands::run(ExportKind kind) {
    if (!m_pipeline.checkProject())
        return false;
    const ExportFormat* format = &ExportFormats::of(kind);
    FileRequest request;
    request.filter = QString::fromLatin1(format->filter);
    const QString chosen = m_parts.files.saveFile(m_parts.window, request);
    if (chosen.isEmpty())
        return false;
    const std::string path = format->outputPath(chosen.toLocal8Bit().toStdString());
    ExportChoice choice;
    if (kind == ExportKind::Gif) {
        const std::optional<int> answer =
            m_answers.gifLoops ? m_answers.gifLoops()
                               : GifLoopDialog::ask(m_parts.window, m_parts.texts, &m_parts.sink);
        if (!answer)
            return false;
        choice.settings.loops = *answer;
        // The loop dialog's check box chooses the palette mode.
        if (GifLoopDialog::rememberedQuality() == GifQuality::Best)
            format = ExportFormats::byId("gif-best");
    }
    if (kind == ExportKind::Avi)
        choice.chooseCodec = m_answers.aviCodec
                                 ? m_answers.aviCodec
                                 : AviCodecDialog::chooser(m_parts.window, m_parts.texts);
    if (!m_pipeline.clearOutput(path))
        return false;
    m_parts.stage.canvas().stopPreview();
    if (!m_pipeline.start(path, format->make(choice), m_threads))
        return false;
    return watch();
}

bool ExportCommands::runChosen() {
    if (!m_pipeline.checkProject())
        return false;
    ProjectHeader header{};
    std::string name;
    {
        auto lock = m_parts.document.lock();
        header = lock.project().header;
        name = lock.project().name();
    }
    // The first time, the project's name in the home folder.
    if (m_path.isEmpty()) {
        const QString file = QString::fromLocal8Bit(name.c_str()).trimmed();
        m_path = QDir::home().filePath(file.isEmpty() ? QStringLiteral("animation") : file);
    }
    const auto answer = m_answers.exportDialog
                            ? m_answers.exportDialog(m_options, m_path)
                            : ExportDialog::ask(m_parts.window, m_options, m_path, m_parts.files);
    if (!answer)
        return false;
    m_options = answer->first; // remembered for the next export
    m_path = answer->second;
    std::string error;
    const std::optional<ExportRequest> request = m_options.request(header, &error);
    if (!request) {
        m_parts.sink.show(error, ExportPipeline::kCaption, MessageIcon::Information);
        return false;
    }
    const std::string path =
        request->format->outputPath(answer->second.toLocal8Bit().toStdString());
    if (!m_pipeline.clearOutput(path))
        return false;
    m_parts.stage.canvas().stopPreview();
    if (!m_pipeline.start(path, *request, m_threads))
        return false;
    const bool completed = watch();
    // What a size budget gave up, or how close it came.
    if (const std::optional<SizeBudget::Result>& budget = m_pipeline.budgetResult();
        budget && !m_pipeline.result().cancelled && (completed || !budget->fits) &&
        !budget->summary.empty())
        m_parts.sink.show(budget->fits ? "The file fits its size: " + budget->summary + "."
                                       : budget->summary,
                          ExportPipeline::kCaption, MessageIcon::Information);
    return completed;
}

bool ExportCommands::watch() {
    StageCanvas& canvas = m_parts.stage.canvas();
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
