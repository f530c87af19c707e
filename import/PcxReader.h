#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// PcxReader: ZSoft PCX files. Files of one bit per pixel in one to four planes (monochrome,
// 4-, 8- and 16-colour EGA pictures) are decoded here; MagickCore reads the packed 2-, 4- and
// 8-bit and the 24-bit files. The library inverts monochrome files and shows 16-colour files
// that carry no palette (versions 0 and 3, which use the default EGA palette) black.
class PcxReader {
public:
    // Null, with the reason in error, for a damaged or cut-off file.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, std::string* error);
};
