#include "export/WebpExporter.h"

#include "export/FramePixels.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

struct WebpExporter::Encoder {
    ~Encoder() { WebPAnimEncoderDelete(animation); }
    WebPAnimEncoder* animation = nullptr;
    WebPConfig config;
};

namespace {

// A frame imported into libwebp's ARGB picture; empty when it could not be.
class PreparedWebpFrame : public PreparedFrame {
public:
    PreparedWebpFrame() { WebPPictureInit(&webp); }
    ~PreparedWebpFrame() override { WebPPictureFree(&webp); }
    WebPPicture webp;
    bool imported = false;
};

std::string systemError() {
    return std::strerror(errno);
}

} // namespace

WebpExporter::WebpExporter(const ExportSettings& settings) : m_settings(settings) {}

WebpExporter::~WebpExporter() {
    release();
}

void WebpExporter::setThreads(int threads) {
    m_threads = std::max(1, threads);
}

int WebpExporter::timestamp(int frame, int frameRate) {
    return static_cast<int>((std::int64_t(frame) * 1000 + frameRate / 2) / frameRate);
}

bool WebpExporter::open(const std::string& path, int width, int height, int frameRate) {
    release();
    clearError();
    m_path = path;
    m_width = width;
    m_height = height;
    m_frameRate = frameRate;
    m_frames = 0;
    const std::string cannotWrite = "Cannot write the WebP file " + path;
    if (width <= 0 || height <= 0 || frameRate <= 0 || width > WEBP_MAX_DIMENSION ||
        height > WEBP_MAX_DIMENSION)
        return fail(cannotWrite + ": WebP takes sizes of 1 to 16383 pixels and a frame rate");
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return fail(cannotWrite + ": " + systemError());

    m_encoder = std::make_unique<Encoder>();
    WebPConfig& config = m_encoder->config;
    const bool configured = WebPConfigInit(&config) != 0;
    if (m_settings.lossless) {
        config.lossless = 1;
    } else {
        const int quality = m_settings.quality < 0 ? kDefaultQuality : m_settings.quality;
        config.quality = static_cast<float>(std::min(quality, 100));
        config.use_sharp_yuv = 1;
    }
    config.thread_level = m_threads > 1 ? 1 : 0; // the same bytes either way
    WebPAnimEncoderOptions options;
    const bool optioned = WebPAnimEncoderOptionsInit(&options) != 0;
    options.anim_params.loop_count = std::max(m_settings.loops, 0);
    // The canvas colour, for viewers that use it: WebP's byte order is B, G, R, A from the top.
    const std::uint32_t bg = m_settings.background;
    options.anim_params.bgcolor =
        m_settings.transparent
            ? 0u
            : ((bg & 0xFFu) << 24) | ((bg >> 8 & 0xFFu) << 16) | ((bg >> 16 & 0xFFu) << 8) | 0xFFu;
    if (configured && optioned && WebPValidateConfig(&config))
        m_encoder->animation = WebPAnimEncoderNew(width, height, &options);
    if (!m_encoder->animation) {
        release();
        std::remove(path.c_str());
        return fail(cannotWrite + ": libwebp refuses the settings");
    }
    return true;
}

std::unique_ptr<PreparedFrame> WebpExporter::prepare(QImage frame) const {
    auto prepared = std::make_unique<PreparedWebpFrame>();
    if (frame.width() == m_width && frame.height() == m_height) {
        const QImage pixels =
            FramePixels::forOutput(frame, m_settings.transparent, m_settings.background);
        WebPPicture& webp = prepared->webp;
        webp.use_argb = 1;
        webp.width = m_width;
        webp.height = m_height;
        // QImage's ARGB32 and RGB32 hold B, G, R, A bytes in memory.
        const int stride = static_cast<int>(pixels.bytesPerLine());
        prepared->imported = m_settings.transparent
                                 ? WebPPictureImportBGRA(&webp, pixels.constBits(), stride)
                                 : WebPPictureImportBGRX(&webp, pixels.constBits(), stride);
    }
    prepared->picture = std::move(frame);
    return prepared;
}

bool WebpExporter::writePrepared(PreparedFrame& frame, int index) {
    if (!m_encoder)
        return fail("The WebP file is not open");
    std::unique_ptr<PreparedFrame> made;
    PreparedWebpFrame* webp = own<PreparedWebpFrame>(frame, made);
    const std::string failed = "Writing the WebP file " + m_path + " failed";
    if (!webp || !webp->imported)
        return fail(failed + ": frame " + std::to_string(index) +
                    " could not be converted (not of the stage's size, or no memory)");
    if (!WebPAnimEncoderAdd(m_encoder->animation, &webp->webp, timestamp(index, m_frameRate),
                            &m_encoder->config))
        return fail(failed + ": " + WebPAnimEncoderGetError(m_encoder->animation));
    m_frames = index + 1;
    return true;
}

bool WebpExporter::finish() {
    if (!m_encoder || !m_file)
        return fail("The WebP file is not open");
    const std::string failed = "Writing the WebP file " + m_path + " failed";
    WebPData data;
    WebPDataInit(&data);
    // The last frame lasts until the end of the animation.
    bool ok = WebPAnimEncoderAdd(m_encoder->animation, nullptr, timestamp(m_frames, m_frameRate),
                                 &m_encoder->config) &&
              WebPAnimEncoderAssemble(m_encoder->animation, &data);
    if (!ok)
        fail(failed + ": " + WebPAnimEncoderGetError(m_encoder->animation));
    if (ok && std::fwrite(data.bytes, 1, data.size, m_file) != data.size)
        ok = fail(failed + ": " + systemError());
    WebPDataClear(&data);
    if (ok && std::fflush(m_file) != 0)
        ok = fail(failed + ": " + systemError());
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (ok && !closed)
        ok = fail(failed + ": " + systemError());
    release();
    return ok;
}

void WebpExporter::abort() {
    release();
}

void WebpExporter::release() {
    m_encoder.reset();
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}
