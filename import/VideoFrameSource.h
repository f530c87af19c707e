#pragma once

#include "import/MediaDetReader.h"
#include "import/VideoFrameReader.h"

#include <QImage>

#include <string>

// VideoFrameSource: a video file as the import of video frames reads it: the FFmpeg reader
// when its probe accepts the file, the fallback reader (media detector) otherwise; the
// duration and picture size of the one in use, and pictures at times in seconds as upright
// pictures. Seek grabs serve single pictures (previews), step grabs successive times.
class VideoFrameSource {
public:
    // False when neither reader can open the file.
    bool open(const std::string& path);
    bool usesFfmpeg() const { return m_ffmpeg; }
    double duration() const { return m_ffmpeg ? m_reader.GetDuration() : m_detector.GetDuration(); }
    int width() const { return m_ffmpeg ? m_reader.GetWidth() : m_detector.GetWidth(); }
    int height() const { return m_ffmpeg ? m_reader.GetHeight() : m_detector.GetHeight(); }

    // True when `seconds` lies inside the video as the reader in use counts it (both refuse
    // times before 0 and beyond the duration; the detector also the duration itself).
    bool contains(double seconds) const;
    // The picture at `seconds` (null when the time is outside or nothing could be decoded).
    QImage seekGrab(double seconds);
    QImage stepGrab(double seconds);

    // The readers' import layout (bottom row first, blue-green-red) as an upright picture.
    static QImage uprightPicture(const std::vector<std::uint8_t>& bottomUpBgr, int width,
                                 int height);

private:
    QImage picture();

    VideoFrameReader m_reader;
    MediaDetReader m_detector;
    bool m_ffmpeg = false;
    bool m_open = false;
};
