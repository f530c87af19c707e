#include "tools/cli/ExportCommand.h"

#include "tools/cli/CommandLine.h"
#include "tools/cli/ProjectArgument.h"
#include "document/Document.h"
#include "export/ExportJob.h"
#include "export/ExportPipeline.h"
#include "export/ExportSource.h"
#include "export/AviExporter.h"
#include "export/GifExporter.h"
#include "tools/cli/StderrMessageSink.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

namespace {

struct Options {
    std::string project;
    std::string output;
    int loops = 0;
    GifQuality gif = GifQuality::Classic;
    AviCompressOptions avi;
};

// The kind of export for an output path: by its extension, GIF when it has none of ours.
ExportKind kindOf(const std::string& path) {
    for (ExportKind kind : {ExportKind::Avi, ExportKind::Swf})
        if (ExportPipeline::outputPath(path, kind) == path)
            return kind;
    return ExportKind::Gif;
}

// --quality of a GIF: "classic" (the default) or "best".
bool parseGifQuality(const CommandLine& line, GifQuality& quality) {
    const std::string* text = line.value("--quality");
    if (!text)
        return true;
    if (*text == "classic")
        quality = GifQuality::Classic;
    else if (*text == "best")
        quality = GifQuality::Best;
    else
        return false;
    return true;
}

bool parse(int argc, char** argv, Options& options, std::ostream& err) {
    const CommandLine line(argc, argv, 2, {{"--loops", "--codec", "--quality", "--keyframes"}, {}});
    if (!line.integer("--loops", 0, 65536, options.loops)) {
        err << "export: --loops takes 0 (forever), 1 (once) or a count of plays\n";
        return false;
    }
    // --quality means a palette mode for a GIF and a compression level for an AVI.
    const bool gif = line.ok() && line.count() == 2 && kindOf(line.at(1)) == ExportKind::Gif;
    if (gif && !parseGifQuality(line, options.gif)) {
        err << "export: --quality of a GIF takes classic or best\n";
        return false;
    }
    if (!gif && !line.integer("--quality", 0, 10000, options.avi.quality)) {
        err << "export: --quality takes 0 (worst) to 10000 (best)\n";
        return false;
    }
    if (!line.integer("--keyframes", 1, 100000, options.avi.keyFrameEvery)) {
        err << "export: --keyframes takes a key frame interval in frames\n";
        return false;
    }
    if (const std::string* codec = line.value("--codec"))
        options.avi.codec = *codec;
    if (!line.ok() || line.count() != 2) {
        if (!line.ok())
            err << "export: " << line.error() << "\n";
        err << "usage: zentravo-cli export PROJECT.vrn OUT.gif [--loops N] [--quality "
               "classic|best]\n"
               "       zentravo-cli export PROJECT.vrn OUT.swf\n"
               "       zentravo-cli export PROJECT.vrn OUT.avi [--codec NAME] [--quality Q]"
               " [--keyframes N]\n";
        return false;
    }
    options.project = line.at(0);
    options.output = line.at(1);
    return true;
}

// A one-line bar redrawn in place.
void drawBar(std::ostream& err, int percent) {
    const int filled = percent * 40 / 100;
    err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
        << std::string(static_cast<std::size_t>(40 - filled), ' ') << "] " << percent << " %"
        << std::flush;
}

} // namespace

int ExportCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(argc, argv, options, err))
        return 2;
    Document document;
    if (!ProjectArgument::open(options.project, document, err))
        return 1;

    const ExportKind kind = kindOf(options.output);
    const std::string path = ExportPipeline::outputPath(options.output, kind);
    std::unique_ptr<FrameExporter> exporter = ExportPipeline::makeExporter(
        kind, options.loops, options.gif, [&options] { return options.avi; });

    // The same checks and messages as the export command of the application.
    StderrMessageSink sink;
    if (document.lock().project().layerCount() == 0) {
        sink.show(ExportPipeline::kNoAnimation, ExportPipeline::kCaption, MessageIcon::Information,
                  MessageButtons::Ok);
        return 1;
    }
    const QString target = QString::fromLocal8Bit(path.c_str());
    if (QFile::exists(target) && !QFile::remove(target)) {
        sink.show(ExportPipeline::kFileInUse, ExportPipeline::kCaption, MessageIcon::Information,
                  MessageButtons::Ok);
        return 1;
    }

    ExportJob::Options progress;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    if (terminal)
        progress.progress = [&err](int written, int total) {
            drawBar(err, total > 0 ? written * 100 / total : 100);
        };
    const ExportJob::Result result =
        ExportJob::run(ExportSource::take(document), *exporter, path, progress);
    if (terminal)
        err << "\n";
    if (!result.completed) {
        err << (result.error.empty() ? "Export failed." : result.error) << "\n";
        return 1;
    }
    out << path << "\n";
    return 0;
}
