#pragma once

#include <QByteArray>

#include <memory>
#include <string>

class CxImage;

// IcoReader: icon files. Qt's reader gives the first picture of the file, usually the smallest;
// the picture taken here is the largest (then the deepest), as viewers show an icon. Its data
// is a PNG file, read as that PNG whatever size the directory states (Qt refuses one whose
// size differs), or a bitmap with its mask, which Qt reads as a one-picture icon.
class IcoReader {
public:
    // Null, with the reason in error, for a damaged file.
    static std::unique_ptr<CxImage> decode(const QByteArray& bytes, std::string* error);
};
