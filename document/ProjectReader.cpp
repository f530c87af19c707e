#include "document/ProjectReader.h"

#include "document/ByteReader.h"
#include "document/FixedText.h"
#include "document/ProjectRecordCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QImage>
#include <QtEndian>

namespace {

constexpr std::int64_t kObjectMinBytes = 16 + ProjectRecordCodec::kObjectRecordSize;
constexpr std::int64_t kLayerBytes = 4 + 256 + 4 + 4;
constexpr std::int64_t kSymbolMinBytes = 16 + 4 + 4;
constexpr std::int64_t kFrameMinBytes = 4 + 4 + 4; // a 1 x 1 picture

// A count read from the file is sound when it is not negative and `count` items of at least
// `itemBytes` bytes each fit in what is left.
bool countFits(std::int32_t count, std::int64_t itemBytes, const ByteReader& in) {
    return in.ok() && count >= 0 && std::int64_t(count) * itemBytes <= in.remaining();
}

bool readObjects(ByteReader& in, std::int32_t count, LoadedProject& loaded) {
    for (std::int32_t i = 0; i < count; ++i) {
        SymbolId id;
        in.readBytes(id.bytes.data(), id.bytes.size());
        AnimationObject object;
        ProjectRecordCodec::readObject(in, object.record);
        const std::int32_t points = object.record.guidePointCount;
        if (!countFits(points, 8, in))
            return false;
        for (std::int32_t p = 0; p < points; ++p) {
            GuidePoint point;
            point.x = in.readI32();
            point.y = in.readI32();
            object.guidePoints.append(point);
        }
        ObjectRecord& r = object.record;
        r.regionHandle = 0;
        r.hitRegionIndex = loaded.hitRegions.add(QRect(0, 0, r.width, r.height));
        loaded.project.objects.append(std::move(object));
        loaded.project.symbolIds.append(id);
    }
    return in.ok();
}

bool readLayers(ByteReader& in, LoadedProject& loaded) {
    const std::int32_t count = in.readI32();
    if (!countFits(count, kLayerBytes, in))
        return false;
    Project& project = loaded.project;
    for (std::int32_t k = 0; k < count; ++k) {
        project.layerCounts.append(in.readI32());
        LayerName name;
        in.readBytes(name.text, sizeof name.text);
        project.layerNames.append(name);
        project.layerVisible.append(in.readU32());
        project.layerSelected.append(in.readU32());
    }
    return in.ok() && project.isConsistent();
}

bool readFrame(ByteReader& in, EmbeddedSymbol& symbol) {
    const std::int32_t width = in.readI32();
    const std::int32_t height = in.readI32();
    constexpr int kMax = ProjectReader::kMaxPictureSide;
    if (!in.ok() || width <= 0 || height <= 0 || width > kMax || height > kMax ||
        std::int64_t(width) * height * 4 > in.remaining())
        return false;
    QImage frame(width, height, QImage::Format_ARGB32);
    if (frame.isNull())
        return false;
    const std::size_t rowBytes = std::size_t(width) * 4;
    if (std::size_t(frame.bytesPerLine()) == rowBytes) {
        // Rows are contiguous: the whole picture in one read.
        if (!in.readBytes(frame.bits(), rowBytes * std::size_t(height)))
            return false;
    } else {
        for (int y = 0; y < height; ++y)
            if (!in.readBytes(frame.scanLine(y), rowBytes))
                return false;
    }
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
        for (int y = 0; y < height; ++y) {
            auto* pixels = reinterpret_cast<quint32*>(frame.scanLine(y));
            for (int x = 0; x < width; ++x)
                pixels[x] = qFromLittleEndian(pixels[x]);
        }
    }
    symbol.frames.append(std::move(frame));
    return true;
}

bool readSymbols(ByteReader& in, LoadedProject& loaded) {
    const std::int32_t count = in.readI32();
    if (!countFits(count, kSymbolMinBytes, in))
        return false;
    for (std::int32_t s = 0; s < count; ++s) {
        EmbeddedSymbol symbol;
        in.readBytes(symbol.id.bytes.data(), symbol.id.bytes.size());
        const std::int32_t frames = in.readI32();
        symbol.currentFrame = in.readI32();
        if (!countFits(frames, kFrameMinBytes, in))
            return false;
        for (std::int32_t f = 0; f < frames; ++f)
            if (!readFrame(in, symbol))
                return false;
        loaded.symbols.records.append(std::move(symbol));
    }
    return in.ok();
}

} // namespace

std::optional<LoadedProject> ProjectReader::read(QIODevice& device) {
    ByteReader in(device);
    LoadedProject loaded{Project::create(), {}, {}};
    const std::int32_t objectCount = in.readI32();
    // The header overwrites the fresh identifier and GUID with the file's.
    ProjectRecordCodec::readHeader(in, loaded.project.header);
    if (!countFits(objectCount, kObjectMinBytes, in) || !readObjects(in, objectCount, loaded) ||
        !readLayers(in, loaded) || !readSymbols(in, loaded))
        return std::nullopt;
    return loaded;
}

std::optional<LoadedProject> ProjectReader::readFile(const std::string& path) {
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<LoadedProject> loaded = read(file);
    if (loaded)
        resolveBackgroundPicture(loaded->project.header, path);
    return loaded;
}

std::optional<ProjectHeader> ProjectReader::readHeader(const std::string& path) {
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    ByteReader in(file);
    in.readI32(); // the object count before the header
    ProjectHeader header{};
    ProjectRecordCodec::readHeader(in, header);
    if (!in.ok())
        return std::nullopt;
    return header;
}

void ProjectReader::resolveBackgroundPicture(ProjectHeader& header,
                                             const std::string& projectFile) {
    const QString picture = QString::fromLocal8Bit(fixedText(header.backgroundPicture));
    if (picture.isEmpty() || QDir::isAbsolutePath(picture))
        return;
    const QDir folder = QFileInfo(QString::fromLocal8Bit(projectFile.c_str())).absoluteDir();
    const QByteArray resolved = QDir::cleanPath(folder.filePath(picture)).toLocal8Bit();
    if (static_cast<std::size_t>(resolved.size()) < sizeof header.backgroundPicture)
        setFixedText(header.backgroundPicture, resolved.toStdString());
}
