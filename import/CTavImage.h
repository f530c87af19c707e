#pragma once

#include "gif/CxImage.h"
#include "import/CxImageJPG.h"

#include <cstdint>
#include <memory>

// CTavImage: loads a picture file, or a block of raw 24-bit pixels, into a CxImage, choosing the
// decoder from the file extension, and times the load. Copies share one picture: the pointer
// is reference-counted, so the picture is freed once, by whichever copy lets go of it last.
class CTavImage {
public:
    CTavImage();
    CTavImage(const CTavImage& other) = default;
    CTavImage& operator=(const CTavImage& other);
    ~CTavImage();

    // The picture format code of a lower-case extension (exact, case-sensitive); 0 unknown.
    static int FindType(const char* extension);
    // Just behind the last '.' of path; an empty text when the path has no '.'.
    static const char* FindExtension(const char* path);

    // 1 when the file was decoded; 0 otherwise. A path without '.' fails and keeps the current
    // picture; any other call releases it first.
    int LoadPhoto(const char* path);
    // Builds a picture from width x height 24-bit pixels: rows bottom first, blue-green-red,
    // width * 3 bytes a row without padding. 1 loaded, 0 failed (no picture held).
    int LoadPhoto(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);

    // 0 stores the start tick; non-zero the end tick and the elapsed time of the load.
    void Stopwatch(int end);
    // Scales the held picture in place with mode 1 (nearest pixel); nothing without a picture.
    void Resample(std::int32_t width, std::int32_t height);
    CxImage* GetImage() const { return m_picture.get(); }
    // Seconds the last load took (-1 without a counter frequency).
    float GetElapsedTime() const { return m_elapsed; }
    // The EXIF block of the last JPEG loaded (empty after any other load).
    const ExifInfo& GetExifInfo() const { return m_jpg.GetExifInfo(); }

private:
    void release();

    std::shared_ptr<CxImage> m_picture;
    CxImageJPG m_jpg;
    std::int64_t m_frequency = 0; // counter ticks per second
    std::int64_t m_startTick = 0;
    std::int64_t m_endTick = 0;
    float m_elapsed = 0.0f;
};
