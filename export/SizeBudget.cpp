#include "export/SizeBudget.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

QString fileOf(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str());
}

std::string kilobytes(std::int64_t bytes) {
    return std::to_string((bytes + 1023) / 1024) + " KB";
}

} // namespace

std::vector<std::vector<SizeBudget::Try>> SizeBudget::phases(const ExportFormat& format,
                                                             const Try& chosen,
                                                             const Limits& limits, int frameRate) {
    const bool quality = format.takes(kTakesQuality) && chosen.quality >= 0;
    const bool colours = format.takes(kTakesColours);
    // Qualities below the chosen one, then the colours below the chosen ones at the lowest
    // quality, each from the best to the smallest.
    auto givingUp = [&](Try from) {
        std::vector<std::vector<Try>> steps;
        std::vector<Try> lower;
        if (quality)
            for (int q = from.quality - 1; q >= 0; --q)
                lower.push_back({q, from.colours, from.frameStep});
        if (!lower.empty())
            steps.push_back(lower);
        std::vector<Try> fewer;
        if (colours)
            for (int c : kColourSteps)
                if (c < from.colours)
                    fewer.push_back({quality ? 0 : from.quality, c, from.frameStep});
        if (!fewer.empty())
            steps.push_back(fewer);
        return steps;
    };
    std::vector<std::vector<Try>> all = givingUp(chosen);
    // Half the frame rate, from the chosen quality down again.
    if (limits.mayDropFrames && chosen.frameStep == 1 && frameRate % 2 == 0 && frameRate >= 2) {
        Try dropped = chosen;
        dropped.frameStep = 2;
        std::vector<Try> first{dropped};
        std::vector<std::vector<Try>> rest = givingUp(dropped);
        if (!rest.empty())
            first.insert(first.end(), rest.front().begin(), rest.front().end());
        all.push_back(first);
        for (std::size_t i = 1; i < rest.size(); ++i)
            all.push_back(rest[i]);
    }
    return all;
}

std::string SizeBudget::describe(const Try& chosen, const Try& kept, int frameRate) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (kept.quality != chosen.quality && kept.quality >= 0)
        add("quality " + std::to_string(kept.quality));
    if (kept.colours != chosen.colours)
        add(std::to_string(kept.colours) + " colours");
    if (kept.frameStep != chosen.frameStep)
        add(std::to_string(frameRate / std::max(kept.frameStep, 1)) + " fps");
    return text;
}

SizeBudget::Result SizeBudget::run(const ExportSource& source, const ExportFormat& format,
                                   const ExportChoice& choice, const std::string& path,
                                   const Limits& limits, const ExportJob::Options& options) {
    Result result;
    const int frameRate = source.frameRate();
    // The quality searched down from: the chosen one, or the format's own default.
    const int quality = choice.settings.quality >= 0 || !format.takes(kTakesQuality)
                            ? choice.settings.quality
                            : format.defaultQuality;
    const Try chosen{quality, choice.colours, source.shape().frameStep};

    struct Tried {
        std::int64_t bytes = -1; // -1: failed or cancelled
        std::string file;
    };
    std::vector<std::pair<Try, Tried>> tried; // in the order tried
    auto sizeOf = [&](const Try& t) -> std::int64_t {
        for (const auto& [done, outcome] : tried)
            if (done == t)
                return outcome.bytes;
        if (result.encodes >= kMaxEncodes)
            return -2; // no encode left
        ++result.encodes;
        ExportChoice attempt = choice;
        attempt.settings.quality = t.quality;
        attempt.colours = t.colours;
        ExportShape shape = source.shape();
        shape.frameStep = t.frameStep;
        const std::string file = path + ".try" + std::to_string(result.encodes);
        std::unique_ptr<FrameExporter> exporter = format.make(attempt);
        const ExportJob::Result job =
            ExportJob::run(source.reshaped(shape), *exporter, file, options);
        Tried outcome;
        if (job.completed) {
            outcome.bytes = QFileInfo(fileOf(file)).size();
            outcome.file = file;
        } else {
            result.job = job; // the reason, for the user
        }
        tried.emplace_back(t, outcome);
        return outcome.bytes;
    };
    auto fits = [&](std::int64_t bytes) { return bytes >= 0 && bytes <= limits.bytes; };
    auto failed = [&] { return result.job.cancelled || !result.job.error.empty(); };

    std::optional<Try> best;
    if (fits(sizeOf(chosen)))
        best = chosen;
    for (const std::vector<Try>& phase : phases(format, chosen, limits, frameRate)) {
        if (best || failed() || result.encodes >= kMaxEncodes)
            break;
        // The smallest of the phase first: when even it is too large, the phase is skipped.
        int hi = static_cast<int>(phase.size()) - 1;
        if (!fits(sizeOf(phase[static_cast<std::size_t>(hi)])))
            continue;
        // The best try of the phase that fits: everything before `lo` is known too large.
        int lo = -1;
        while (hi - lo > 1 && result.encodes < kMaxEncodes && !failed()) {
            const int mid = (lo + hi) / 2;
            if (fits(sizeOf(phase[static_cast<std::size_t>(mid)])))
                hi = mid;
            else
                lo = mid;
        }
        best = phase[static_cast<std::size_t>(hi)];
    }

    // The file kept: the best that fits, else (when wanted) the smallest tried.
    const Tried* kept = nullptr;
    for (const auto& [t, outcome] : tried) {
        const bool wanted = best ? t == *best
                                 : !failed() && limits.keepClosest && outcome.bytes >= 0 &&
                                       (!kept || outcome.bytes < kept->bytes);
        if (wanted) {
            kept = &outcome;
            result.kept = t;
        }
    }
    // Every try's file goes but the one kept, and that one too when the export failed.
    for (const auto& [t, outcome] : tried)
        if (!outcome.file.empty() && (failed() || !kept || outcome.file != kept->file))
            QFile::remove(fileOf(outcome.file));
    if (failed()) {
        result.job.completed = false;
        return result;
    }
    if (kept) {
        QFile::remove(fileOf(path));
        result.job.completed = QFile::rename(fileOf(kept->file), fileOf(path));
        if (!result.job.completed) {
            result.job.error = "Cannot write " + path;
            QFile::remove(fileOf(kept->file));
        }
        result.bytes = kept->bytes;
    }
    result.fits = best.has_value();
    std::int64_t smallest = -1;
    for (const auto& [t, outcome] : tried)
        if (outcome.bytes >= 0 && (smallest < 0 || outcome.bytes < smallest))
            smallest = outcome.bytes;
    if (result.fits)
        result.summary = describe(chosen, result.kept, frameRate);
    else
        result.summary = "The file cannot be made within " + kilobytes(limits.bytes) +
                         ": the smallest was " + kilobytes(smallest) +
                         (kept ? " (" + describe(chosen, result.kept, frameRate) + ")" : "") + ".";
    return result;
}
