#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
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
// writeFrame() is convert() then writeConverted(); convert() may run on other threads, for
// frames ahead of the one being encoded.
class AviWriter {
public:
    // A frame converted for the encoder; frees itself.
    struct FrameDeleter {
        void operator()(AVFrame* frame) const;
    };
    using ConvertedFrame = std::unique_ptr<AVFrame, FrameDeleter>;

    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // The codecs of the list that this build of FFmpeg can encode, in dialog order.
    static std::vector<std::string> availableCodecs();

    bool open(const std::string& path);
    bool createStream(int frameRate, int width, int height);
    // A codec that codes every picture on its own (Motion JPEG) may then encode on `threads`
    // threads at once, with the same bytes; others stay on one. Call before setCompression.
    void setEncoderThreads(int threads) { m_encoderThreads = threads; }
    bool setCompression(const AviCompressOptions& options);
    bool writeFrame(const std::uint8_t* bits, int frameIndex);
    // Whether frames go through an encoder (not stored as they are).
    bool isCompressed() const { return m_codec != nullptr; }
    // The bitmap as the encoder takes it: the codec's pixel format, top row first. Safe on
    // several threads at once once the compression is set; null for uncompressed output or
    // when memory runs out.
    ConvertedFrame convert(const std::uint8_t* bits) const;
    // Encodes a frame made by convert() as frame `frameIndex`.
    bool writeConverted(AVFrame* frame, int frameIndex);
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
    AVPacket* m_packet = nullptr;
    // Scalers to the codec's format, one for each thread converting at a time.
    mutable std::mutex m_scalersMutex;
    mutable std::vector<SwsContext*> m_scalers;
    int m_encoderThreads = 1;
    std::string m_path;
    int m_lastResult = 0;
    int m_frameRate = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_headerWritten = false;
};
