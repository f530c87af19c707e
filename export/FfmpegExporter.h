#pragma once

#include "export/ExportSettings.h"
#include "export/PreparingExporter.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVDictionary;
struct AVFormatContext;
struct AVPacket;
struct AVStream;
struct SwsContext;

// FfmpegExporter: an output made by one FFmpeg encoder in one FFmpeg muxer, with a single
// video stream whose codec time base is 1 / frame rate (frame n has pts n and lasts one tick).
// prepare() converts each frame on the drawing threads into the encoder's pixel format at the
// coded size (a coded size larger than the stage is filled with the background colour, right
// and bottom); writePrepared() encodes and muxes in frame order. Files are written bit-exact
// (no random identifiers, no version strings), so one thread count always gives the same bytes.
// Subclasses choose the muxer, the encoder, the pixel format and the options.
class FfmpegExporter : public PreparingExporter {
public:
    ~FfmpegExporter() override;
    FfmpegExporter(const FfmpegExporter&) = delete;
    FfmpegExporter& operator=(const FfmpegExporter&) = delete;

    void setThreads(int threads) override;
    // False with a message when the file cannot be created, the encoder is missing from the
    // FFmpeg build or refuses the settings; no file is left then.
    bool open(const std::string& path, int width, int height, int frameRate) override;
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override;
    bool writePrepared(PreparedFrame& frame, int index) override;
    bool finish() override;
    void abort() override;

    // The encoder as open() set it up; null before open() and after finish() or abort().
    const AVCodecContext* codecContext() const { return m_codec.get(); }

protected:
    // `name` names the format in messages ("MP4"); `muxer` and `encoder` are FFmpeg's names.
    FfmpegExporter(std::string name, std::string muxer, std::string encoder,
                   const ExportSettings& settings);

    // The encoder's pixel format (an AVPixelFormat).
    virtual int pixelFormat() const = 0;
    // The coded size for a stage of `width` x `height`; by default the stage's.
    virtual void codedSize(int& width, int& height) const;
    // Sets the encoder's fields and private options and the muxer's options before the
    // encoder opens; the stream exists (its metadata may be set).
    virtual void configure(AVCodecContext& codec, AVDictionary** codecOptions,
                           AVDictionary** muxerOptions, AVStream& stream) const = 0;

    const ExportSettings& settings() const { return m_settings; }
    int threads() const { return m_threads; }

private:
    using PreparingExporter::fail;
    // fail() with FFmpeg's reason for `result` when it is an error code.
    bool fail(const std::string& what, int result);
    bool openEncoder(AVDictionary** muxerOptions);
    bool encode(const struct AVFrame* frame);
    SwsContext* takeScaler() const;
    void returnScaler(SwsContext* scaler) const;
    void release();

    std::string m_name;
    std::string m_muxer;
    std::string m_encoder;
    ExportSettings m_settings;
    int m_threads = 1;
    std::string m_path;
    struct CloseOutput {
        void operator()(AVFormatContext* format) const;
    };
    struct FreeCodec {
        void operator()(AVCodecContext* codec) const;
    };
    struct FreePacket {
        void operator()(AVPacket* packet) const;
    };
    std::unique_ptr<AVFormatContext, CloseOutput> m_format;
    AVStream* m_stream = nullptr; // owned by m_format
    std::unique_ptr<AVCodecContext, FreeCodec> m_codec;
    std::unique_ptr<AVPacket, FreePacket> m_packet;
    bool m_headerWritten = false;
    int m_width = 0; // the stage's size
    int m_height = 0;
    int m_frameRate = 0;
    int m_codedWidth = 0;
    int m_codedHeight = 0;
    bool m_keepsAlpha = false; // the pixel format has an alpha plane
    // Colour converters for the drawing threads: one per thread converting at a time.
    mutable std::mutex m_scalersMutex;
    mutable std::vector<SwsContext*> m_scalers;
};
