#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// BmpReader: Windows and OS/2 bitmaps. Qt's reader takes the palette, 24-bit and 32-bit plain
// files; an OS/2 1.x file (3-byte palette entries, often fewer than 2^bits of them)
// is handed to Qt with its header rewritten as the Windows header it stands for; 16-bit files
// and 32-bit bit-field files are decoded here, because Qt scales each bit field by a whole
// number (5-bit white becomes 248, fields over 8 bits become 0); run-length files go to
// BmpRleReader. The planes field, which Qt insists is 1, is not looked at.
class BmpReader {
public:
    // Null, with the reason in error, for a damaged or cut-off file.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, std::string* error);
};
