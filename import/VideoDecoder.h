#pragma once

#include <cstdint>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// VideoDecoder: the first video stream of one file, decoded with FFmpeg, for the two frame
// readers. It keeps the last decoded picture with its presentation time, so that a reader can
// decode forward from a key frame to the picture shown at a given time. Every count and size
// FFmpeg reports is checked before use: the files are untrusted.
//
// A picture's time is the presentation time of the packet it was decoded from. Containers that
// keep one time per packet (AVI, ASF, raw MPEG) give a decode time: a picture the decoder holds
// back (it decodes the next reference picture first) is shown at the decode time of the packet
// that makes the decoder give it out, which is the time the picture takes then.
class VideoDecoder {
public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens the file (format probing, stream information) and finds the first video stream.
    // False when the file cannot be read or has no video stream.
    bool openInput(const char* path);
    // Codec id of the video stream (AVCodecID), after openInput.
    int codecId() const;
    // True when a decoder exists for the stream's codec.
    bool hasDecoder() const;
    // Opens the decoder for the stream; false on failure or an absurd picture size.
    bool openCodec();
    // Allocates the picture slots and the packet; false when memory runs out.
    bool allocatePictures();
    // Decodes the first picture: its time is the origin of the times asked for.
    void findOrigin();
    void close();

    AVFormatContext* format() const { return m_format; }
    AVStream* stream() const { return m_stream; }
    AVCodecContext* codec() const { return m_codec; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Container start time in microseconds, 0 when unknown.
    std::int64_t startTimeUs() const;
    // Microseconds (AV_TIME_BASE units) to the stream's time base, rounded down: a time
    // inside a picture's interval belongs to that picture.
    std::int64_t toStreamTime(std::int64_t microseconds) const;
    // The stream time of the picture shown at a file time in microseconds (start time
    // included): measured from the first picture of the stream.
    std::int64_t streamTimeAt(std::int64_t microseconds) const;

    // Seeks the file to the key frame at or before `microseconds` (default stream, backward)
    // and flushes the decoder. False when the demuxer refuses.
    bool seekBackward(std::int64_t microseconds);
    void flush();

    // Reads packets until the decoder gives one more picture. 1: a new picture; 0: end of the
    // file (the previous picture stays); -1: a read error. `pts` receives the picture's
    // presentation time in stream units (AV_NOPTS_VALUE when unknown).
    int readAndDecode(std::int64_t* pts);
    // Decodes forward until the picture shown at `streamTime` is the current one (its start at
    // or before the time and its end after it), or a later picture when the stream has none
    // there, or the last picture at the end of the file. Same results as readAndDecode.
    int decodeTo(std::int64_t streamTime);

    // The stream's length in seconds, measured by reading every packet once: from the earliest
    // packet time to the end of the latest (for streams whose container states no duration).
    // Rewinds to the start afterwards. -1 when no packet carries a time.
    double measureDuration();

    // Seeks and decodes forward to the picture shown at `microseconds` (file time, start time
    // included). Demuxers that seek by searching timestamps (MPEG program streams, damaged
    // indexes) can land after the time: then it seeks again further back, doubling the
    // distance from one second, until the picture is found or the start is reached.
    int seekTo(std::int64_t microseconds);

    bool hasPicture() const;
    // Presentation time of the current picture in stream units, AV_NOPTS_VALUE when unknown.
    std::int64_t picturePts() const;
    // Duration of one picture in stream units (at least 1).
    std::int64_t pictureDuration() const;

    // Allocates the conversion target for `pixelFormat` (AV_PIX_FMT_RGB24 or BGR24) at the
    // stream's size; false for another format or when memory runs out.
    bool prepareConversion(int pixelFormat);
    // Converts the current picture to packed 24-bit pixels of the stream's width and height and
    // copies them to `pixels`, rows top down, `stride` (at least width x 3) bytes apart. False
    // without a picture.
    bool convertTo(int pixelFormat, std::uint8_t* pixels, int stride);

private:
    void stampPicture();
    void freeConversion();
    void sendPacket();
    // True when the picture's presentation time is the demuxer's guess from before it knew of
    // the decoder's delay.
    bool guessedTime(const AVFrame* picture) const;

    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_picture = nullptr;
    AVFrame* m_incoming = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_scaler = nullptr;
    // The scaler's target: an FFmpeg image (av_image_alloc) whose lines are aligned and padded
    // as its vector code needs; it writes whole blocks of pixels, past a tightly sized row.
    std::uint8_t* m_converted[4] = {};
    int m_convertedLines[4] = {};
    int m_convertedFormat = -1;
    int m_streamIndex = -1;
    int m_width = 0;
    int m_height = 0;
    std::int64_t m_firstPts = 0;
    std::int64_t m_pictureTime = 0;
    bool m_draining = false;
};
