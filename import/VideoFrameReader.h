#pragma once

#include "import/VideoDecoder.h"

#include <cstdint>
#include <vector>

// VideoFrameReader: grabs pictures out of MPEG-2, MPEG-4 part 2 and Microsoft MPEG-4 (v1 to
// v3) video with FFmpeg, for the import-video-frames dialog. A grab leaves the picture shown
// at the asked time in an RGB buffer (RGB24, width x height x 3, top row first). StepGrab
// serves increasing times: it decodes forward and seeks only now and then.
class VideoFrameReader {
public:
    VideoFrameReader() = default;

    // True (and supported = 1) when the file has a video stream of an accepted codec.
    static bool Probe(const char* path, std::uint8_t* supported);
    // The container's duration, or the guess from the bit rate, or else the length measured by
    // reading the stream once; logs the guess and a non-square sample aspect ratio to FFmpeg's
    // log.
    bool Open(const char* path);
    double GetDuration() const { return m_duration; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    // The picture shown at `seconds`: seek back to the key frame, decode forward to it.
    bool SeekGrab(double seconds);
    // The same picture, for successive calls with increasing times: decodes forward from the
    // previous grab when the time is near, seeks otherwise.
    bool StepGrab(double seconds);

    // Packed RGB24, top row first (valid after a successful grab).
    const std::uint8_t* rgb() const { return m_rgb.data(); }
    // The import layout: width x height x 3 bytes, bottom row first, blue-green-red.
    std::vector<std::uint8_t> copyFrame() const;

    // Duration from the bit rate when the container gives none: file size x 0.9 / (bit rate /
    // 8, integer division) seconds, -1 when either is not above 0.
    static double guessDuration(std::int64_t fileSize, std::int64_t bitRate);
    // Which codecs the probe accepts (AVCodecID values).
    static bool acceptsCodec(int codecId);

private:
    std::int64_t targetMicroseconds(double seconds) const;
    bool convert();
    bool guessFromBitRate(double containerSeconds);

    VideoDecoder m_decoder;
    std::vector<std::uint8_t> m_rgb;
    double m_duration = 0.0;
    std::uint64_t m_grabCounter = 0;
    std::int64_t m_lastTarget = 0;
    int m_width = 0;
    int m_height = 0;
};
