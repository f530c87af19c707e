#include "export/ExportOptions.h"

#include "document/ColorRef.h"
#include "document/ProjectHeader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

const std::vector<ExportPreset>& ExportPreset::all() {
    static const std::vector<ExportPreset> presets = [] {
        std::vector<ExportPreset> list;
        QFile file(QStringLiteral(":/export/presets.json"));
        if (!file.open(QIODevice::ReadOnly))
            return list;
        for (const QJsonValue& value :
             QJsonDocument::fromJson(file.readAll())["presets"].toArray()) {
            const QJsonObject o = value.toObject();
            ExportPreset preset;
            preset.name = o["name"].toString().toStdString();
            preset.format = o["format"].toString().toStdString();
            preset.maxWidth = o["maxWidth"].toInt();
            preset.maxHeight = o["maxHeight"].toInt();
            preset.maxSeconds = o["maxSeconds"].toInt();
            preset.budgetKB = o["budgetKB"].toInt();
            preset.transparent = o["transparent"].toBool();
            if (!preset.name.empty() && ExportFormats::byId(preset.format))
                list.push_back(preset);
        }
        return list;
    }();
    return presets;
}

void ExportOptions::apply(const ExportPreset& preset) {
    format = preset.format;
    fit = preset.maxWidth > 0 && preset.maxHeight > 0;
    if (fit) {
        fitWidth = preset.maxWidth;
        fitHeight = preset.maxHeight;
    } else {
        scalePercent = 100;
    }
    maxSeconds = preset.maxSeconds;
    budgetKB = preset.budgetKB;
    const ExportFormat* chosen = ExportFormats::byId(format);
    transparent = preset.transparent && chosen && chosen->takes(kTakesTransparency);
}

std::optional<ExportRequest> ExportOptions::request(const ProjectHeader& header,
                                                    std::string* error) const {
    auto refuse = [error](std::string why) -> std::optional<ExportRequest> {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };
    ExportRequest request;
    request.format = ExportFormats::byId(format);
    if (!request.format)
        return refuse("There is no export format \"" + format + "\".");
    const ExportFormat& f = *request.format;
    if (fit) {
        if (fitWidth < 1 || fitHeight < 1)
            return refuse("The frames must fit a box of at least 1 x 1 pixels.");
        // A box larger than the stage does not enlarge it.
        request.shape.zoom =
            std::min(ExportShape::fit(header.width, header.height, fitWidth, fitHeight), 1.0f);
    } else {
        if (scalePercent < 25 || scalePercent > 200)
            return refuse("The scale must be between 25 % and 200 %.");
        request.shape.zoom = static_cast<float>(scalePercent) / 100.0f;
    }
    request.shape.transparent = transparent && f.takes(kTakesTransparency);
    if (maxSeconds > 0 && header.frameRate > 0)
        request.shape.maxFrames = maxSeconds * header.frameRate;
    request.choice.settings.quality =
        f.takes(kTakesQuality) && quality >= 0 ? std::clamp(quality, 0, 100) : -1;
    request.choice.settings.loops = f.takes(kTakesLoops) ? std::max(loops, 0) : 0;
    request.choice.settings.transparent = request.shape.transparent;
    request.choice.settings.lossless = lossless && f.takes(kTakesLossless);
    // What pads an odd-sized video: the stage's colour.
    request.choice.settings.background = ColorRef::toArgb(header.backgroundColor);
    if (budgetKB > 0 && f.takes(kTakesSizeBudget))
        request.budget =
            SizeBudget::Limits{std::int64_t(budgetKB) * 1024, mayDropFrames, keepClosest};
    return request;
}
