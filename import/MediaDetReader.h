#pragma once

#include "import/VideoDecoder.h"

#include <cstdint>
#include <vector>

// MediaDetReader: the frame source for every video the FFmpeg probe refuses (H.264, WMV and
// anything else FFmpeg decodes). Like a media detector it answers the stream's length (measured
// by reading the stream once when the container states none) and picture size and hands out the
// picture shown at a time in seconds as a bottom-up BGR bitmap whose rows are padded to 4 bytes.
// Grabs are frame-accurate: each decodes forward from the key frame before the time (or from the
// previous grab when that is nearer).
class MediaDetReader {
public:
    MediaDetReader() = default;

    // 1 when the file has a decodable video stream, else 0.
    int Open(const char* path);
    // Stream length in seconds.
    double GetDuration() const { return m_streamLength; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // 1 when the picture at `seconds` was fetched; 0 for t < 0, t >= the stream length, or a
    // decoding failure.
    int Grab(double seconds);

    // The bitmap's pixels: bottom row first, blue-green-red, rows stride() bytes apart.
    const std::uint8_t* pixels() const { return m_bits.data(); }
    int stride() const { return m_stride; }
    // The import layout: width x height x 3 bytes without row padding, bottom row first.
    std::vector<std::uint8_t> copyFrame() const;

private:
    VideoDecoder m_decoder;
    std::vector<std::uint8_t> m_bits;
    std::vector<std::uint8_t> m_topDown;
    double m_streamLength = 0.0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};
