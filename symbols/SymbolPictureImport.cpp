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

// Logical screen size and frame count without decoding: header(13: "GIF8?a", width(u16) at 6,
// height(u16) at 8, packed(u8) at 10), the global table, then a walk over the blocks.
bool gifShape(const QByteArray& bytes, int& width, int& height, int& frames) {
    if (bytes.size() < 13)
        return false;
    tag_dscgif dsc{};
    std::memcpy(&dsc, bytes.constData(), sizeof dsc);
    width = dsc.scrwidth[0] | (dsc.scrwidth[1] << 8);
    height = dsc.scrheight[0] | (dsc.scrheight[1] << 8);
    const qsizetype table = (dsc.pflds & 0x80) ? qsizetype{3} << ((dsc.pflds & 7) + 1) : 0;
    if (13 + table > bytes.size())
        return false;
    CxMemFile file(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   std::size_t(bytes.size()));
    file.Seek(13 + table, SEEK_SET);
    CxImageGIF counter;
    frames = counter.get_num_frames(&file, nullptr, &dsc);
    return true;
}

std::string mebibytes(std::int64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

std::vector<QImage> gifFrames(const std::string& path, std::string* refusal) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > PictureDecoder::kMaxFileBytes)
        return {};
    const QByteArray bytes = file.readAll();
    int width = 0, height = 0, count = 0;
    if (!gifShape(bytes, width, height, count) || count == 0)
        return {};
    const std::int64_t need =
        bytes.size() + SymbolPictureImport::gifImportBytes(width, height, count);
    if (need > SymbolPictureImport::kGifBudget) {
        if (refusal)
            *refusal = "The GIF file " + path + " would need about " + mebibytes(need) +
                       " of memory to import (" + std::to_string(count) + " frames on a " +
                       std::to_string(width) + " x " + std::to_string(height) +
                       " screen); at most " + mebibytes(SymbolPictureImport::kGifBudget) +
                       " may be used.";
        return {};
    }
    std::vector<QImage> frames;
    frames.reserve(std::size_t(count));
    CxImageGIF gif;
    CxMemFile data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   std::size_t(bytes.size()));
    // A damaged frame ends the animation; the frames before it stay.
    gif.DecodeFrames(&data, [&frames](CxImage& picture) {
        const QImage full = SymbolPictureImport::toImage(picture);
        picture.Destroy(); // the screen-sized picture goes before the shrunk one is made
        if (full.isNull())
            return false;
        frames.push_back(limited(full));
        return true;
    });
    return frames;
}

} // namespace

std::int64_t SymbolPictureImport::gifImportBytes(int screenWidth, int screenHeight,
                                                 std::int64_t frames) {
    const std::int64_t screen = std::int64_t{std::max(screenWidth, 0)} * std::max(screenHeight, 0);
    // While a frame is decoded and shown: its rows (1 byte a pixel at most the screen), the
    // page of palette indices (1), the colours of several frames composed (4), the composed
    // picture (4) and its 32-bit copy (4).
    const std::int64_t working = screen * (frames > 1 ? 14 : 10);
    const QSize stored = storedSize(QSize(std::max(screenWidth, 0), std::max(screenHeight, 0)));
    // Each kept frame: its pixels and the picture's own bookkeeping.
    constexpr std::int64_t kPerFrame = 256;
    const std::int64_t kept = std::int64_t{stored.width()} * stored.height() * 4 + kPerFrame;
    return working + kept * std::max<std::int64_t>(frames, 0);
}

std::vector<QImage> SymbolPictureImport::load(const std::string& path, std::string* refusal) {
    const char* extension = CTavImage::FindExtension(path.c_str());
    std::vector<QImage> frames;
    if (refusal)
        refusal->clear();
    if (QByteArray(extension).toLower() == "gif") {
        frames = gifFrames(path, refusal);
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
