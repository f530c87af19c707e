#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// QtPictureReader: the formats Qt's image plugins read (BMP, JPEG, PNG, ICO, WBMP and the
// portable anymaps other than plain PBM), decoded by the named plugin only. A picture without an
// alpha channel comes out with every alpha byte 255.
class QtPictureReader {
public:
    // Decodes bytes with Qt's handler for format ("bmp", "jpeg", "png"...). Null, with the reason
    // in error, when the handler refuses the bytes or the picture is too large.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, const char* format,
                                           std::string* error);
};
