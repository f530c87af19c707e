#include "document/ProjectWriter.h"

#include "document/ByteWriter.h"
#include "document/ProjectRecordCodec.h"

#include <QImage>
#include <QtEndian>

#include <vector>

namespace {

// W, H and the pixels as 32-bit ARGB (bytes B, G, R, A per pixel), rows without padding.
void writeFrame(ByteWriter& out, const QImage& frame) {
    QImage picture = frame.format() == QImage::Format_ARGB32
                         ? frame
                         : frame.convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) {
        // A frame without pixels is stored as one transparent pixel: the loader refuses
        // empty pictures, and the saved project must stay loadable.
        picture = QImage(1, 1, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
    }
    const int width = picture.width();
    const int height = picture.height();
    out.writeI32(width);
    out.writeI32(height);
    const std::size_t rowBytes = std::size_t(width) * 4;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        // In memory an ARGB32 pixel is a native 0xAARRGGBB word: B, G, R, A here.
        if (std::size_t(picture.bytesPerLine()) == rowBytes) {
            out.writeBytes(picture.constBits(), rowBytes * std::size_t(height));
            return;
        }
        for (int y = 0; y < height; ++y)
            out.writeBytes(picture.constScanLine(y), rowBytes);
    } else {
        std::vector<quint32> row(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            const auto* pixels = reinterpret_cast<const quint32*>(picture.constScanLine(y));
            for (int x = 0; x < width; ++x)
                row[std::size_t(x)] = qToLittleEndian(pixels[x]);
            out.writeBytes(row.data(), rowBytes);
        }
    }
}

} // namespace

bool ProjectWriter::write(QIODevice& device, const Project& project,
                          const EmbeddedSymbolList& symbols) {
    ByteWriter out(device);
    out.writeI32(project.objectCount());
    ProjectRecordCodec::writeHeader(out, project.header);

    auto id = project.symbolIds.begin();
    for (const AnimationObject& object : project.objects) {
        out.writeBytes(id->bytes.data(), id->bytes.size());
        ++id;
        const auto pointCount = static_cast<std::int32_t>(object.guidePoints.count());
        ProjectRecordCodec::writeObject(out, object.record, pointCount);
        for (const GuidePoint& point : object.guidePoints) {
            out.writeI32(point.x);
            out.writeI32(point.y);
        }
    }

    out.writeI32(project.layerCount());
    auto visible = project.layerVisible.begin();
    auto selected = project.layerSelected.begin();
    auto name = project.layerNames.begin();
    for (std::int32_t count : project.layerCounts) {
        out.writeI32(count);
        out.writeBytes(name->text, sizeof name->text);
        out.writeU32(*visible);
        out.writeU32(*selected);
        ++visible, ++selected, ++name;
    }

    std::int32_t used = 0;
    for (const EmbeddedSymbol& symbol : symbols.records)
        used += project.usesSymbol(symbol.id) ? 1 : 0;
    out.writeI32(used);
    for (const EmbeddedSymbol& symbol : symbols.records) {
        if (!project.usesSymbol(symbol.id)) continue;
        out.writeBytes(symbol.id.bytes.data(), symbol.id.bytes.size());
        out.writeI32(symbol.frameCount());
        out.writeI32(symbol.currentFrame);
        for (const QImage& frame : symbol.frames)
            writeFrame(out, frame);
    }
    return out.ok();
}
