#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

// Short videos made at test time with libavcodec encoders, and an independent reference
// decode (every picture in order, no seeking) to check grabbed pictures against.
namespace TestVideo {

struct Format {
    const char* encoder; // FFmpeg encoder name
    int width;
    int height;
    int frameRate;
    int frames;
    int gop;           // key frame every `gop` pictures
    int aspectNum = 0; // sample aspect ratio, 0 for none
    int aspectDen = 1;
};

// Picture `index` of a test video: a gradient with a block that moves 3 pixels a picture and
// a colour that changes with the index, so that neighbouring pictures differ clearly.
// Packed RGB24, top row first.
std::vector<std::uint8_t> picture(int index, int width, int height);

// Writes `format.frames` pictures into `path` (container from the file name). False when the
// encoder is missing or any step fails.
bool write(const std::string& path, const Format& format);

struct Decoded {
    double seconds; // presentation time: the picture's place in the output order / rate
    std::vector<std::uint8_t> rgb;
};
// Every picture of the first video stream, in the decoder's output (presentation) order, as
// RGB24, timed by its place in that order: the test videos have a constant frame rate, so
// container timestamps are not needed to know which picture is shown when.
std::vector<Decoded> decodeAll(const std::string& path, int frameRate);
// The picture shown at `seconds`: the last whose presentation time is not after it.
const Decoded* shownAt(const std::vector<Decoded>& pictures, double seconds);

// Mean absolute difference per byte of two equally long buffers.
double meanDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t size);

// Runs the ffmpeg program (/usr/bin/ffmpeg -v error -y, then `arguments`); true when it ends
// with exit code 0.
bool runFfmpeg(const QStringList& arguments);
// Picture `index` (in presentation order) of `path` as the ffmpeg program decodes it, converted
// to `pixelFormat` ("rgb24", "bgr24"): packed rows, top row first. Empty on failure.
QByteArray ffmpegPicture(const QString& path, int index, const char* pixelFormat);

// True when glibc's heap checking is on in this process (MALLOC_CHECK_ set and the debugging
// malloc preloaded, as ctest runs the video tests outside sanitizer builds).
bool heapChecking();

} // namespace TestVideo
