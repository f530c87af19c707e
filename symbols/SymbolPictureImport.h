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
//
// A GIF is decoded in one walk and each frame shrunk as it comes; an import whose pictures
// would take more than kGifBudget bytes is refused before anything is decoded (a few
// kilobytes can declare a screen of 65535 x 65535 pixels, or thousands of frames).
class SymbolPictureImport {
public:
    static constexpr std::int64_t kMaxPixels = 480000;
    static constexpr std::int64_t kGifBudget = std::int64_t{1} << 30;

    // The file's frames; empty when it cannot be loaded or its picture has no size. A GIF
    // refused for its memory also says why in `refusal` (when given); other files that
    // cannot be read leave it empty.
    static std::vector<QImage> load(const std::string& path, std::string* refusal = nullptr);
    // Bytes a GIF import takes at most: the screen-sized pictures of one frame being decoded
    // and shown, and every frame kept at its stored size.
    static std::int64_t gifImportBytes(int screenWidth, int screenHeight, std::int64_t frames);
    // The size a picture is stored at: its own up to kMaxPixels, else h' = (int)sqrt(480000 /
    // (w / h)) rows and w' = (int)(h' * w / h) columns (2000 x 1000 gives 978 x 489).
    static QSize storedSize(QSize size);
    // A decoded picture (rows bottom first, palette or 32-bit colour) as ARGB32.
    static QImage toImage(const CxImage& picture);
};
