#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// VideoEncoder: writes video streams into one output file with FFmpeg (the SWF export uses
// it for FLV1 video in SWF). SetOutputFile, AddVideoStream, OpenStream, BeginFile, then
// EncodeVideoFrame per picture, CloseStream and Finish. Finish (or destruction) always
// releases the output, also after a failure part-way.
class VideoEncoder {
public:
    // Rate-control and quantiser values copied into every video stream's codec context: the
    // defaults of FFmpeg's command-line tool of the generation the format was designed for.
    struct Options {
        int bitRateTolerance = 4000000;
        int qmin = 2;
        int qmax = 31;
        int lmin = 2 * 118; // lambda = quantiser x 118
        int lmax = 31 * 118;
        int maxQdiff = 3;
        float qblur = 0.5f;
        float qcompress = 0.5f;
        const char* rcEquation = "tex^qComp";
        int gopSize = 12;
        bool intraOnly = false;
        double muxPreload = 0.5;  // seconds
        double muxMaxDelay = 0.7; // seconds
    };

    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    const Options& options() const { return m_options; }

    // Guesses the output format from the file name (".swf": SWF) and makes the output
    // context; replaces any previous one. False when no format fits.
    bool SetOutputFile(const char* path);
    // A new video stream; its index, or -1. fixedQuantiser -1 leaves the rate to the bit rate.
    int AddVideoStream(int frameRate, int width, int height, int codecId, std::int64_t bitRate,
                       int fixedQuantiser, const char* target, int displayWidth, int displayHeight);
    bool OpenStream(int index);
    // Prints the format description to stderr, opens the file and writes the header.
    bool BeginFile();
    // Encodes one picture of `pixelFormat` (AVPixelFormat, packed rows, top row first) and
    // writes its packets. False when the stream is not open or encoding/writing fails.
    bool EncodeVideoFrame(int index, const std::uint8_t* pixels, int pixelFormat, int width,
                          int height);
    // Drains the encoder into the file and frees the stream's encoder and pictures.
    bool CloseStream(int index);
    // Writes the trailer (when the header was written), closes the file, frees everything.
    bool Finish();

    // The codec context of a stream (for inspection), null when there is none.
    const AVCodecContext* codecContext(int index) const;

private:
    struct Stream {
        AVStream* stream = nullptr;
        AVCodecContext* codec = nullptr;
        // The caller's picture, copied into a frame with FFmpeg's line alignment and padding:
        // the scaler reads its source in whole vector blocks, past the end of a packed row.
        AVFrame* source = nullptr;
        AVFrame* converted = nullptr;
        SwsContext* scaler = nullptr;
        std::int64_t nextPts = 0;
        bool open = false;
    };

    bool writePackets(Stream& stream, const AVFrame* frame);
    static bool copySource(Stream& stream, const std::uint8_t* pixels, int pixelFormat, int width,
                           int height);
    void releaseStream(Stream& stream);

    Options m_options;
    std::vector<Stream> m_streams;
    AVFormatContext* m_format = nullptr;
    AVPacket* m_packet = nullptr;
    std::string m_path;
    float m_quality = 0.0f;
    bool m_interleave = true;
    bool m_headerWritten = false;
};
