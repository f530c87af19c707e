#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// TgaReader: Truevision TGA files. MagickCore reads every colour-mapped, true-colour (15, 16,
// 24 and 32 bits) and 8-bit grey file, raw or run-length, with any image ID and origin; grey
// with alpha (16 bits a pixel), which it takes for 5-5-5 colour, is decoded here. Qt's TGA
// reader is not used: it ignores the image ID length and the right-to-left origin and leaves
// 16-bit channels unscaled.
class TgaReader {
public:
    // Null, with the reason in error, for a damaged or cut-off file.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, std::string* error);
};
