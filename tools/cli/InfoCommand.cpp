#include "tools/cli/InfoCommand.h"

#include "document/FixedText.h"
#include "document/MessageSink.h"
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "stage/MotionEasing.h"
#include "tools/cli/JsonText.h"

#include <QFile>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// Shortest text that reads back as the same float; null for values JSON cannot hold.
std::string jsonFloat(float value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return "\"" + hex + "\"";
}

const char* jsonBool(std::uint32_t flag) {
    return flag ? "true" : "false";
}

void printHeader(const ProjectHeader& h, std::ostream& out) {
    out << "  \"header\": {\n"
        << "    \"name\": " << JsonText::quoted(fixedText(h.name)) << ",\n"
        << "    \"guid\": " << hexBytes(h.guid, sizeof h.guid) << ",\n"
        << "    \"width\": " << h.width << ",\n"
        << "    \"height\": " << h.height << ",\n"
        << "    \"duration\": " << h.duration << ",\n"
        << "    \"frameRate\": " << h.frameRate << ",\n"
        << "    \"backgroundColor\": " << h.backgroundColor << ",\n"
        << "    \"backgroundPicture\": " << JsonText::quoted(fixedText(h.backgroundPicture))
        << ",\n"
        << "    \"placement\": " << h.placement << "\n"
        << "  },\n";
}

void printLayers(const Project& project, std::ostream& out) {
    out << "  \"layers\": [";
    for (int k = 0; k < project.layerCount(); ++k) {
        const auto i = static_cast<std::uint32_t>(k);
        out << (k ? ",\n" : "\n") << "    {\"name\": " << JsonText::quoted(project.layerName(k))
            << ", \"count\": " << project.layerCounts[i]
            << ", \"visible\": " << jsonBool(project.layerVisible[i])
            << ", \"selected\": " << jsonBool(project.layerSelected[i]) << "}";
    }
    out << (project.layerCount() ? "\n  ],\n" : "],\n");
}

void printObject(const AnimationObject& object, const SymbolId& id, std::ostream& out) {
    const ObjectRecord& r = object.record;
    out << "    {\n"
        << "      \"kind\": " << r.kind << ",\n"
        << "      \"symbolId\": " << hexBytes(id.bytes.data(), id.bytes.size()) << ",\n"
        << "      \"selected\": " << jsonBool(r.selected) << ",\n"
        << "      \"width\": " << r.width << ",\n"
        << "      \"height\": " << r.height << ",\n"
        << "      \"startX\": " << jsonFloat(r.startX) << ",\n"
        << "      \"startY\": " << jsonFloat(r.startY) << ",\n"
        << "      \"endX\": " << jsonFloat(r.endX) << ",\n"
        << "      \"endY\": " << jsonFloat(r.endY) << ",\n"
        << "      \"startAngle\": " << jsonFloat(r.startAngle) << ",\n"
        << "      \"endAngle\": " << jsonFloat(r.endAngle) << ",\n"
        << "      \"startScale\": " << jsonFloat(r.startScale) << ",\n"
        << "      \"endScale\": " << jsonFloat(r.endScale) << ",\n"
        << "      \"startOpacity\": " << r.startOpacity << ",\n"
        << "      \"endOpacity\": " << r.endOpacity << ",\n"
        << "      \"motion\": " << r.motionKind << ",\n"
        << "      \"easing\": " << JsonText::quoted(MotionEasing::name(MotionEasing::of(r)))
        << ",\n"
        << "      \"startFrame\": " << r.startFrame << ",\n"
        << "      \"endFrame\": " << r.endFrame << ",\n"
        << "      \"motionStartFrame\": " << r.motionStartFrame << ",\n"
        << "      \"motionEndFrame\": " << r.motionEndFrame << ",\n"
        << "      \"symbolFrameRate\": " << r.symbolFrameRate << ",\n"
        << "      \"text\": " << JsonText::quoted(object.text()) << ",\n"
        << "      \"style\": " << r.textStyle << ",\n"
        << "      \"color1\": " << r.textColor << ",\n"
        << "      \"color2\": " << r.secondTextColor << ",\n"
        << "      \"trail\": " << jsonBool(r.trailFlag) << ",\n"
        << "      \"headingOffset\": " << r.headingOffset << ",\n"
        << "      \"guidePoints\": [";
    bool first = true;
    for (const GuidePoint& point : object.guidePoints) {
        out << (first ? "" : ", ") << "[" << point.x << ", " << point.y << "]";
        first = false;
    }
    out << "]\n    }";
}

void printObjects(const Project& project, std::ostream& out) {
    out << "  \"objects\": [";
    auto id = project.symbolIds.begin();
    bool first = true;
    for (const AnimationObject& object : project.objects) {
        out << (first ? "\n" : ",\n");
        printObject(object, *id, out);
        ++id;
        first = false;
    }
    out << (first ? "],\n" : "\n  ],\n");
}

void printSymbols(const EmbeddedSymbolList& symbols, std::ostream& out) {
    out << "  \"symbols\": [";
    bool first = true;
    for (const EmbeddedSymbol& symbol : symbols.records) {
        out << (first ? "\n" : ",\n")
            << "    {\"id\": " << hexBytes(symbol.id.bytes.data(), symbol.id.bytes.size())
            << ", \"currentFrame\": " << symbol.currentFrame << ", \"frames\": [";
        bool firstFrame = true;
        for (const QImage& frame : symbol.frames) {
            out << (firstFrame ? "" : ", ") << "[" << frame.width() << ", " << frame.height()
                << "]";
            firstFrame = false;
        }
        out << "]}";
        first = false;
    }
    out << (first ? "]\n" : "\n  ]\n");
}

} // namespace

int InfoCommand::run(const std::string& path, std::ostream& out, MessageSink& sink) {
    QFile file(QString::fromStdString(path));
    std::optional<LoadedProject> loaded;
    if (file.open(QIODevice::ReadOnly))
        loaded = ProjectReader::read(file);
    if (!loaded) {
        sink.show(ProjectStore::kCannotLoad, ProjectStore::kErrorCaption, MessageIcon::Exclamation);
        return 1;
    }
    out << "{\n";
    printHeader(loaded->project.header, out);
    printLayers(loaded->project, out);
    printObjects(loaded->project, out);
    printSymbols(loaded->symbols, out);
    out << "}\n";
    return 0;
}
