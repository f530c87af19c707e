#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CxFile;

// What a JPEG's EXIF block (APP1 "Exif\0\0") holds that callers look at: the raw TIFF-structured
// block and the camera and date tags of its first directory. Empty texts for absent tags.
struct ExifInfo {
    bool isExif = false;
    std::vector<std::uint8_t> raw; // the block after "Exif\0\0", as stored
    std::string cameraMake;        // tag 0x010F
    std::string cameraModel;       // tag 0x0110
    std::string dateTime;          // tag 0x0132, "YYYY:MM:DD HH:MM:SS"
    int orientation = 0;           // tag 0x0112, 1..8; 0 when absent
};

// CxImageJPG: reads the EXIF block of a JPEG stream without decoding its pixels. The block is
// parsed by the picture library; this class only carries the result. A failed read leaves an
// empty ExifInfo (isExif false).
class CxImageJPG {
public:
    // Reads the whole stream from its start; true when an EXIF block was found.
    bool DecodeExif(CxFile* hFile);
    const ExifInfo& GetExifInfo() const { return m_exif; }
    void ClearExif() { m_exif = ExifInfo{}; }

private:
    ExifInfo m_exif;
};
