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

// The compression choice of an AVI export (what the codec dialog returns).
struct AviCompressOptions {
    std::string codec = "rawvideo"; // FFmpeg encoder: rawvideo (uncompressed BGR24), mjpeg,
                                    // mpeg4, ffv1, libx264
    int quality = -1;               // 0 (worst) .. 10000 (best); -1: the codec's default
    int keyFrameEvery = 0;          // key frame interval in frames; 0: the codec's default
    int bytesPerSecond = 0;         // data rate limit; 0: none (quality decides)
};

// AviWriter: an AVI file with one video stream of rate = frame rate, scale 1, frames of
// the stage size, fed with uncompressed 24-bit bitmaps (rows bottom row first, BGR, padded
// to 4 bytes) one per frame. Uncompressed output stores those bitmaps as they are; other
// codecs encode them. Every failing call leaves lastResult() negative (an FFmpeg error).
//
// Order: open (creates the file), createStream, setCompression (the codec choice: encoder
// and header), writeFrame per frame, close. discard() releases and removes the file.
class AviWriter {
public:
    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // The codecs of the list that this build of FFmpeg can encode, in dialog order.
    static std::vector<std::string> availableCodecs();

    bool open(const std::string& path);
    bool createStream(int frameRate, int width, int height);
    bool setCompression(const AviCompressOptions& options);
    bool writeFrame(const std::uint8_t* bits, int frameIndex);
    // Drains the encoder, writes the index and closes the file; false when anything failed
    // along the way (lastResult() != 0).
    bool close();
    void discard();

    int lastResult() const { return m_lastResult; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Bytes of one uncompressed frame: height x padded row (the stream's suggested buffer).
    int frameBytes() const;

private:
    bool fail(int result);
    bool encode(const AVFrame* frame);
    void release();

    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr; // null for uncompressed output
    // The bitmap turned top row first in a frame with FFmpeg's line alignment and padding: the
    // scaler reads its source in whole vector blocks, past the end of a bitmap row.
    AVFrame* m_source = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_scaler = nullptr;
    std::string m_path;
    int m_lastResult = 0;
    int m_frameRate = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_headerWritten = false;
};
