#include "symbols/SymbolPictureImport.h"

#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "import/CTavImage.h"
#include "import/PictureDecoder.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QImage limited(const QImage& picture) {
    const QSize size = SymbolPictureImport::storedSize(picture.size());
    if (size == picture.size())
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::vector<QImage> gifFrames(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > PictureDecoder::kMaxFileBytes)
        return {};
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    CxImageGIF first;
    CxMemFile firstFile(data, std::size_t(bytes.size()));
    if (!first.Decode(&firstFile))
        return {};
    std::vector<QImage> frames;
    for (int n = 0; n < std::max(1, first.GetNumFrames()); ++n) {
        CxImageGIF frame;
        CxMemFile frameFile(data, std::size_t(bytes.size()));
        frame.SetFrame(n);
        if (!frame.Decode(&frameFile))
            break; // a damaged frame ends the animation; the frames before it stay
        frames.push_back(SymbolPictureImport::toImage(frame));
    }
    return frames;
}

} // namespace

std::vector<QImage> SymbolPictureImport::load(const std::string& path) {
    const char* extension = CTavImage::FindExtension(path.c_str());
    std::vector<QImage> frames;
    if (QByteArray(extension).toLower() == "gif") {
        frames = gifFrames(path);
    } else {
        CTavImage picture;
        if (picture.LoadPhoto(path.c_str()) && picture.GetImage())
            frames.push_back(toImage(*picture.GetImage()));
    }
    std::vector<QImage> stored;
    for (const QImage& frame : frames)
        if (!frame.isNull() && frame.width() > 0 && frame.height() > 0)
            stored.push_back(limited(frame));
    return stored;
}

QSize SymbolPictureImport::storedSize(QSize size) {
    const std::int64_t w = size.width(), h = size.height();
    if (w <= 0 || h <= 0 || w * h <= kMaxPixels)
        return size;
    // The aspect is a fraction (a picture taller than wide has w / h below 1).
    const double aspect = double(w) / double(h);
    const int rows = std::max(1, int(std::sqrt(double(kMaxPixels) / aspect)));
    const int columns = std::max(1, int(rows * aspect));
    return QSize(columns, rows);
}

QImage SymbolPictureImport::toImage(const CxImage& picture) {
    const int width = picture.GetWidth(), height = picture.GetHeight();
    if (!picture.IsValid() || width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (!picture.IsIndexed()) {
            // Blue, green, red, alpha in memory: the layout of ARGB32 on this machine.
            std::memcpy(line, picture.topRow(y), std::size_t(width) * 4);
            continue;
        }
        const int row = height - 1 - y;
        for (int x = 0; x < width; ++x) {
            const RGBQUAD c = picture.GetPixelColor(x, row, true);
            line[x] = qRgba(c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved);
        }
    }
    return image;
}
