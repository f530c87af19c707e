#include "tools/cli/ExportCommand.h"

#include "document/LoadedProject.h"
#include "document/ProjectReader.h"
#include "export/BatchExport.h"
#include "export/ExportPipeline.h"
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
};

bool parse(int argc, char** argv, Options& options, std::ostream& err) {
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--loops") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long loops = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || loops < 0 || loops > 65536) {
                err << "export: --loops takes 0 (forever), 1 (once) or a count of plays\n";
                return false;
            }
            options.loops = static_cast<int>(loops);
        } else if (positional == 0) {
            options.project = argv[i];
            ++positional;
        } else if (positional == 1) {
            options.output = argv[i];
            ++positional;
        } else {
            positional = 99;
        }
    }
    if (positional != 2) {
        err << "usage: zentravo-cli export PROJECT.vrn OUT.gif [--loops N]\n";
        return false;
    }
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
    QFile file(QString::fromLocal8Bit(options.project.c_str()));
    std::optional<LoadedProject> loaded;
    if (file.open(QIODevice::ReadOnly))
        loaded = ProjectReader::read(file);
    if (!loaded) {
        err << "Failed to load project\n";
        return 1;
    }

    const std::string path = ExportPipeline::outputPath(options.output, ExportKind::Gif);
    std::unique_ptr<FrameExporter> exporter = std::make_unique<GifExporter>(options.loops);

    // The same checks and messages as the export command of the application.
    StderrMessageSink sink;
    if (loaded->project.layerCount() == 0) {
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

    BatchExport::Progress progress;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    if (terminal)
        progress.report = [&err](int percent) { drawBar(err, percent); };
    std::string error;
    const bool ok = BatchExport::run(loaded->project, loaded->symbols, loaded->hitRegions,
                                     *exporter, path, progress, error);
    if (terminal)
        err << "\n";
    if (!ok) {
        err << (error.empty() ? "Export failed." : error) << "\n";
        return 1;
    }
    out << path << "\n";
    return 0;
}
