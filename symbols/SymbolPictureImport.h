#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <string>
#include <vector>

class CxImage;

// SymbolPictureImport: picture files as symbol frames, as the symbol editor's picture import
// makes them: every frame of a file named ".gif" (each the whole picture as it shows after
// that frame), the one picture of any other file, and pictures above kMaxPixels shrunk to
// about that many pixels with their aspect kept. Frames are 32-bit ARGB.
class SymbolPictureImport {
public:
    static constexpr std::int64_t kMaxPixels = 480000;

    // The file's frames; empty when it cannot be loaded or its picture has no size.
    static std::vector<QImage> load(const std::string& path);
    // The size a picture is stored at: its own up to kMaxPixels, else h' = (int)sqrt(480000 /
    // (w / h)) rows and w' = (int)(h' * w / h) columns (2000 x 1000 gives 978 x 489).
    static QSize storedSize(QSize size);
    // A decoded picture (rows bottom first, palette or 32-bit colour) as ARGB32.
    static QImage toImage(const CxImage& picture);
};
