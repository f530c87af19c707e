#include "export/ExportFormat.h"

#include "export/ApngExporter.h"
#include "export/Mp4Exporter.h"
#include "export/PngFramesExporter.h"
#include "export/SwfExporter.h"
#include "export/WebmExporter.h"
#include "export/WebpExporter.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && lowered(text.substr(text.size() - tail.size())) == tail;
}

// A GIF of either palette mode: the best mode's quality is its palettes' quality ceiling.
std::unique_ptr<FrameExporter> makeGif(const ExportChoice& choice, GifQuality mode) {
    BestGifEncoder::Settings best;
    if (choice.settings.quality >= 0)
        best.liq.maxQuality = std::clamp(choice.settings.quality, 0, 100);
    return std::make_unique<GifExporter>(choice.settings.loops, mode, best, choice.colours);
}

std::unique_ptr<FrameExporter> makeClassicGif(const ExportChoice& choice) {
    return makeGif(choice, GifQuality::Classic);
}

std::unique_ptr<FrameExporter> makeBestGif(const ExportChoice& choice) {
    return makeGif(choice, GifQuality::Best);
}

std::unique_ptr<FrameExporter> makeAvi(const ExportChoice& choice) {
    return std::make_unique<AviExporter>(choice.chooseCodec);
}

std::unique_ptr<FrameExporter> makeSwf(const ExportChoice&) {
    return std::make_unique<SwfExporter>();
}

template <class Exporter>
std::unique_ptr<FrameExporter> makeShared(const ExportChoice& choice) {
    return std::make_unique<Exporter>(choice.settings);
}

// Command identifiers of the first three formats' menu items.
constexpr int kExportGifCommand = 10239;
constexpr int kExportAviCommand = 10240;
constexpr int kExportSwfCommand = 10241;

} // namespace

std::string ExportFormat::outputPath(const std::string& chosen) const {
    const std::string_view tail(extension);
    if (tail.empty() || endsWith(chosen, tail))
        return chosen;
    return chosen + std::string(tail);
}

const std::vector<ExportFormat>& ExportFormats::all() {
    // In menu order: the three formats with commands of their own first.
    static const std::vector<ExportFormat> formats = {
        {ExportKind::Gif, "gif", "Animated GIF", ".gif", "(*.gif)|*.gif||",
         kTakesLoops | kTakesSizeBudget | kTakesColours, -1, kExportGifCommand,
         "Export Animation to GIF", makeClassicGif},
        {ExportKind::Swf, "swf", "SWF movie", ".swf", "(*.swf)|*.swf||", 0, -1, kExportSwfCommand,
         "Export Animation to SWF", makeSwf},
        {ExportKind::Avi, "avi", "AVI video", ".avi", "(*.avi)|*.avi||", 0, -1, kExportAviCommand,
         "Export Animation to AVI", makeAvi},
        {ExportKind::Gif, "gif-best", "Animated GIF, best quality", ".gif", "(*.gif)|*.gif||",
         kTakesQuality | kTakesLoops | kTakesSizeBudget | kTakesColours, 100, 0, "", makeBestGif},
        {ExportKind::Mp4, "mp4", "MP4 video (H.264)", ".mp4", "(*.mp4)|*.mp4||",
         kTakesQuality | kTakesSizeBudget, Mp4Exporter::kDefaultQuality, 0, "",
         makeShared<Mp4Exporter>},
        {ExportKind::WebM, "webm", "WebM video (VP9)", ".webm", "(*.webm)|*.webm||",
         kTakesQuality | kTakesTransparency | kTakesSizeBudget, WebmExporter::kDefaultQuality, 0,
         "", makeShared<WebmExporter>},
        {ExportKind::WebP, "webp", "Animated WebP", ".webp", "(*.webp)|*.webp||",
         kTakesQuality | kTakesLoops | kTakesTransparency | kTakesSizeBudget | kTakesLossless,
         WebpExporter::kDefaultQuality, 0, "", makeShared<WebpExporter>},
        {ExportKind::Apng, "apng", "Animated PNG", ".png", "(*.png)|*.png||",
         kTakesLoops | kTakesTransparency, -1, 0, "", makeShared<ApngExporter>},
        {ExportKind::PngFrames, "png-frames", "PNG frames (a folder)", "", "", kTakesTransparency,
         -1, 0, "", makeShared<PngFramesExporter>},
    };
    return formats;
}

const ExportFormat& ExportFormats::of(ExportKind kind) {
    for (const ExportFormat& format : all())
        if (format.kind == kind)
            return format;
    return all().front();
}

const ExportFormat* ExportFormats::byId(std::string_view id) {
    for (const ExportFormat& format : all())
        if (lowered(id) == format.id)
            return &format;
    return nullptr;
}

const ExportFormat* ExportFormats::byCommand(int command) {
    for (const ExportFormat& format : all())
        if (format.command != 0 && format.command == command)
            return &format;
    return nullptr;
}

const ExportFormat* ExportFormats::byPath(std::string_view path) {
    for (const ExportFormat& format : all())
        if (*format.extension && endsWith(path, format.extension))
            return &format;
    return nullptr;
}
