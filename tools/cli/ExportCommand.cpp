#include "tools/cli/ExportCommand.h"

#include "document/Document.h"
#include "export/ExportJob.h"
#include "export/ExportOptions.h"
#include "export/ExportPipeline.h"
#include "export/ExportSource.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/JsonText.h"
#include "tools/cli/ProjectArgument.h"
#include "tools/cli/StderrMessageSink.h"

#include <QFile>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

namespace {

struct Options {
    std::string project;
    std::string output;
    const ExportFormat* format = nullptr;
    ExportOptions chosen;
    AviCompressOptions avi;
};

// "256k", "2m" or a number of bytes, as kilobytes (rounded up).
bool parseSize(const std::string& text, int& kilobytes) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    const std::string unit(end);
    double bytes = value;
    if (unit == "k" || unit == "K" || unit == "kb" || unit == "KB")
        bytes = value * 1024;
    else if (unit == "m" || unit == "M" || unit == "mb" || unit == "MB")
        bytes = value * 1024 * 1024;
    else if (!unit.empty())
        return false;
    if (!(bytes >= 1) || bytes > 1e12)
        return false;
    kilobytes = static_cast<int>((bytes + 1023) / 1024);
    return true;
}

// "50%", "50" (a percent of the stage's size), or "fit:WxH" (fit in a box).
bool parseScale(const std::string& text, ExportOptions& options) {
    if (text.rfind("fit:", 0) == 0) {
        const std::size_t x = text.find('x', 4);
        if (x == std::string::npos ||
            !CommandLine::parseInteger(text.substr(4, x - 4), 1, 8192, options.fitWidth) ||
            !CommandLine::parseInteger(text.substr(x + 1), 1, 8192, options.fitHeight))
            return false;
        options.fit = true;
        return true;
    }
    std::string percent = text;
    if (!percent.empty() && percent.back() == '%')
        percent.pop_back();
    options.fit = false;
    return CommandLine::parseInteger(percent, 25, 200, options.scalePercent);
}

bool parse(int argc, char** argv, Options& options, std::ostream& err) {
    const CommandLine line(
        argc, argv, 2,
        {{"--loops", "--codec", "--quality", "--keyframes", "--max-size", "--scale", "--format"},
         {"--transparent", "--lossless", "--drop-frames", "--no-closest"}});
    if (!line.ok() || line.count() != 2) {
        if (!line.ok())
            err << "export: " << line.error() << "\n";
        err << "usage: zentravo-cli export PROJECT.vrn OUT.EXT [--quality N] [--loops N]\n"
               "           [--transparent] [--lossless] [--max-size 256k [--drop-frames]\n"
               "           [--no-closest]] [--scale 50%|fit:WxH] [--format ID]\n"
               "       the format from OUT's extension, or --format (zentravo-cli formats)\n"
               "       GIF: --quality classic|best; AVI: --codec NAME --quality 0..10000\n"
               "       --keyframes N\n";
        return false;
    }
    options.project = line.at(0);
    options.output = line.at(1);
    if (const std::string* id = line.value("--format")) {
        options.format = ExportFormats::byId(*id);
        if (!options.format) {
            err << "export: no format " << *id << " (zentravo-cli formats lists them)\n";
            return false;
        }
    } else {
        options.format = ExportFormats::byPath(options.output);
        if (!options.format) // a path without one of ours is a GIF, as it always was
            options.format = &ExportFormats::of(ExportKind::Gif);
    }
    ExportOptions& chosen = options.chosen;
    if (!line.integer("--loops", 0, 65536, chosen.loops)) {
        err << "export: --loops takes 0 (forever), 1 (once) or a count of plays\n";
        return false;
    }
    // --quality: a GIF's palette mode (a number for the best mode's --format gif-best), an
    // AVI's compression level (SWF took it too and ignores it), or a 0..100 quality.
    if (const std::string* quality = line.value("--quality")) {
        const ExportKind kind = options.format->kind;
        if (kind == ExportKind::Gif && (*quality == "classic" || *quality == "best")) {
            options.format = ExportFormats::byId(*quality == "best" ? "gif-best" : "gif");
        } else if (kind == ExportKind::Avi || kind == ExportKind::Swf) {
            if (!line.integer("--quality", 0, 10000, options.avi.quality)) {
                err << "export: --quality takes 0 (worst) to 10000 (best)\n";
                return false;
            }
        } else if (!options.format->takes(kTakesQuality)) {
            err << (kind == ExportKind::Gif
                        ? std::string("export: --quality of a GIF takes classic or best")
                        : "export: " + std::string(options.format->name) +
                              " does not take --quality")
                << "\n";
            return false;
        } else if (!line.integer("--quality", 0, 100, chosen.quality)) {
            err << "export: --quality takes 0 (smallest) to 100 (best)\n";
            return false;
        }
    }
    if (!line.integer("--keyframes", 1, 100000, options.avi.keyFrameEvery)) {
        err << "export: --keyframes takes a key frame interval in frames\n";
        return false;
    }
    if (const std::string* codec = line.value("--codec"))
        options.avi.codec = *codec;
    if (const std::string* size = line.value("--max-size");
        size && !parseSize(*size, chosen.budgetKB)) {
        err << "export: --max-size takes a size such as 256k or 2m\n";
        return false;
    }
    if (const std::string* scale = line.value("--scale"); scale && !parseScale(*scale, chosen)) {
        err << "export: --scale takes 25% to 200%, or fit:WIDTHxHEIGHT\n";
        return false;
    }
    chosen.transparent = line.flag("--transparent");
    chosen.lossless = line.flag("--lossless");
    chosen.mayDropFrames = line.flag("--drop-frames");
    chosen.keepClosest = !line.flag("--no-closest");
    chosen.format = options.format->id;
    for (const auto& [flag, option] : {std::pair{"--transparent", kTakesTransparency},
                                       {"--lossless", kTakesLossless},
                                       {"--max-size", kTakesSizeBudget},
                                       {"--drop-frames", kTakesSizeBudget},
                                       {"--no-closest", kTakesSizeBudget}})
        if ((line.flag(flag) || line.value(flag)) && !options.format->takes(option)) {
            err << "export: " << options.format->name << " does not take " << flag << "\n";
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
    Document document;
    if (!ProjectArgument::open(options.project, document, err))
        return 1;
    ProjectHeader header{};
    {
        auto lock = document.lock();
        header = lock.project().header;
    }
    std::string why;
    std::optional<ExportRequest> request = options.chosen.request(header, &why);
    if (!request) {
        err << "export: " << why << "\n";
        return 2;
    }
    request->choice.chooseCodec = [&options] { return options.avi; };
    const std::string path = request->format->outputPath(options.output);

    // The same checks and messages as the export command of the application.
    StderrMessageSink sink;
    if (header.duration <= 0 || document.lock().project().layerCount() == 0) {
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
    const ExportSource source = ExportSource::take(document, request->shape);
    ExportJob::Result result;
    std::optional<SizeBudget::Result> budget;
    if (request->budget) {
        budget = SizeBudget::run(source, *request->format, request->choice, path, *request->budget,
                                 progress);
        result = budget->job;
    } else {
        std::unique_ptr<FrameExporter> exporter = request->format->make(request->choice);
        result = ExportJob::run(source, *exporter, path, progress);
    }
    if (terminal)
        err << "\n";
    if (budget && !budget->summary.empty())
        err << (budget->fits ? "fits in the size by giving up " + budget->summary : budget->summary)
            << "\n";
    if (!result.completed) {
        if (!budget || !result.error.empty() || budget->fits || !options.chosen.keepClosest)
            err << (result.error.empty() ? "Export failed." : result.error) << "\n";
        return 1;
    }
    out << path << "\n";
    return budget && !budget->fits ? 1 : 0;
}

int ExportCommand::formats(std::ostream& out) {
    // The table of formats as JSON: what each takes from the command line.
    out << "[\n";
    bool first = true;
    for (const ExportFormat& format : ExportFormats::all()) {
        out << (first ? "" : ",\n") << "  {\"id\": " << JsonText::quoted(format.id)
            << ", \"name\": " << JsonText::quoted(format.name)
            << ", \"extension\": " << JsonText::quoted(format.extension) << ", \"takes\": [";
        bool firstOption = true;
        for (const auto& [option, name] : {std::pair{kTakesQuality, "quality"},
                                           {kTakesLoops, "loops"},
                                           {kTakesTransparency, "transparent"},
                                           {kTakesSizeBudget, "max-size"},
                                           {kTakesLossless, "lossless"},
                                           {kTakesColours, "colours"}}) {
            if (!format.takes(option))
                continue;
            out << (firstOption ? "" : ", ") << JsonText::quoted(name);
            firstOption = false;
        }
        out << "]}";
        first = false;
    }
    out << "\n]\n";
    return 0;
}
