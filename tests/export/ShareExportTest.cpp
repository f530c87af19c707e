// The share formats (MP4, WebM, animated WebP, APNG, PNG frames) over small projects and every
// bundled sample, read back by outside programs: ffprobe (streams, frame counts, rates,
// timestamps), ffmpeg (decoded frames against the rendered ones) and Pillow (WebP and APNG
// frames as a viewer composes them, loop counts, durations; the PNG frames).
#include "export/ApngExporter.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/Mp4Exporter.h"
#include "export/PngFramesExporter.h"
#include "export/WebmExporter.h"
#include "export/WebpExporter.h"

#include "document/ProjectReader.h"
#include "tests/ProgramRun.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/export/ExportFrames.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Kind { Mp4, Webm, WebpLossy, WebpLossless, Apng, PngFrames };

struct Format {
    Kind kind;
    const char* name;
    const char* extension;
};

const Format kFormats[] = {
    {Kind::Mp4, "mp4", ".mp4"},         {Kind::Webm, "webm", ".webm"},
    {Kind::WebpLossy, "webp", ".webp"}, {Kind::WebpLossless, "webp-lossless", ".webp"},
    {Kind::Apng, "apng", ".png"},       {Kind::PngFrames, "png-frames", ""},
};

std::unique_ptr<FrameExporter> exporterOf(Kind kind, ExportSettings settings) {
    switch (kind) {
    case Kind::Mp4:
        return std::make_unique<Mp4Exporter>(settings);
    case Kind::Webm:
        return std::make_unique<WebmExporter>(settings);
    case Kind::WebpLossless:
        settings.lossless = true;
        return std::make_unique<WebpExporter>(settings);
    case Kind::WebpLossy:
        return std::make_unique<WebpExporter>(settings);
    case Kind::Apng:
        return std::make_unique<ApngExporter>(settings);
    case Kind::PngFrames:
        break;
    }
    return std::make_unique<PngFramesExporter>(settings);
}

bool isVideo(Kind kind) {
    return kind == Kind::Mp4 || kind == Kind::Webm;
}

// ffprobe's view of the first video stream: its fields, the container's duration and every
// frame's timestamp in seconds.
struct Probe {
    std::map<std::string, std::string> fields;
    std::vector<double> times;
    std::string operator[](const std::string& key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    }
};

Probe probe(const QString& path) {
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/ffprobe",
        {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
         "stream=codec_name,profile,pix_fmt,width,height,r_frame_rate,nb_read_frames:format="
         "duration:frame=best_effort_timestamp_time",
         "-of", "default=noprint_wrappers=1", path});
    EXPECT_TRUE(run.ok()) << run.err.toStdString();
    Probe probe;
    for (const QByteArray& line : run.out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const std::string key = line.left(eq).toStdString();
        if (key == "best_effort_timestamp_time")
            probe.times.push_back(line.mid(eq + 1).toDouble());
        else
            probe.fields[key] = line.mid(eq + 1).toStdString();
    }
    return probe;
}

// Every frame ffmpeg decodes, as RGBA (alpha 255 for opaque video). VP9 alpha is read by
// libvpx's decoder; FFmpeg's own VP9 decoder ignores it.
std::vector<QImage> decodeVideo(const QString& path, bool vp9) {
    const Probe info = probe(path);
    const int width = std::stoi(info["width"].empty() ? "0" : info["width"]);
    const int height = std::stoi(info["height"].empty() ? "0" : info["height"]);
    QStringList arguments{"-v", "error"};
    if (vp9)
        arguments << "-c:v"
                  << "libvpx-vp9";
    arguments << "-i" << path << "-f"
              << "rawvideo"
              << "-pix_fmt"
              << "bgra"
              << "-";
    const ProgramRun run = ProgramRun::of("/usr/bin/ffmpeg", arguments);
    EXPECT_TRUE(run.ok()) << run.err.toStdString();
    std::vector<QImage> frames;
    const qsizetype size = qsizetype(width) * height * 4;
    for (qsizetype offset = 0; size > 0 && offset + size <= run.out.size(); offset += size)
        frames.push_back(QImage(reinterpret_cast<const uchar*>(run.out.constData() + offset), width,
                                height, QImage::Format_ARGB32)
                             .copy());
    return frames;
}

// What Pillow reads from each file: frames as a viewer shows them, durations, loop count.
struct PillowFile {
    int frames = 0;
    QJsonValue loop;
    std::vector<double> durations;
};

std::vector<PillowFile> readWithPillow(const QStringList& files, std::vector<QImage>& frames) {
    QTemporaryDir dir;
    const QString raw = dir.filePath("frames.rgba");
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/python3",
        QStringList{ZENTRAVO_SOURCE_DIR "/tests/export/anim_frames.py", raw} + files, 600000);
    EXPECT_TRUE(run.ok()) << run.err.toStdString();
    QFile file(raw);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    std::vector<PillowFile> read;
    qsizetype offset = 0;
    for (const QJsonValue entry : QJsonDocument::fromJson(run.out).array()) {
        const QJsonObject object = entry.toObject();
        PillowFile one;
        one.frames = object["frames"].toInt();
        one.loop = object["loop"];
        for (const QJsonValue d : object["durations"].toArray())
            one.durations.push_back(d.toDouble());
        const int width = object["width"].toInt();
        const int height = object["height"].toInt();
        for (int f = 0; f < one.frames; ++f, offset += qsizetype(width) * height * 4)
            frames.push_back(QImage(reinterpret_cast<const uchar*>(bytes.constData() + offset),
                                    width, height, QImage::Format_RGBA8888)
                                 .convertToFormat(QImage::Format_ARGB32));
        read.push_back(one);
    }
    return read;
}

// PSNR (dB) of `decoded`'s top-left corner against `rendered`, over the colour of pixels that
// are not fully transparent in `rendered`; 100 when they are equal.
double psnr(const QImage& rendered, const QImage& decoded) {
    if (decoded.width() < rendered.width() || decoded.height() < rendered.height())
        return 0;
    const QImage a = rendered.convertToFormat(QImage::Format_ARGB32);
    double squares = 0;
    double samples = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb r = a.pixel(x, y);
            if (qAlpha(r) == 0)
                continue;
            const QRgb d = decoded.pixel(x, y);
            const int e[3] = {qRed(r) - qRed(d), qGreen(r) - qGreen(d), qBlue(r) - qBlue(d)};
            squares += e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
            samples += 3;
        }
    return squares == 0 ? 100.0 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

// The largest difference of alpha between two pictures of one size.
int alphaError(const QImage& rendered, const QImage& decoded) {
    const QImage a = rendered.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            worst = std::max(worst, std::abs(qAlpha(a.pixel(x, y)) - qAlpha(decoded.pixel(x, y))));
    return worst;
}

// An export read back: the frames a viewer shows at each frame's start, in frame order.
struct ReadBack {
    std::vector<QImage> shown;
    QJsonValue loop;
};

// Reads `path` (the export of `count` frames at `frameRate`) as outside programs do, and checks
// the frame count and timing: ffprobe's frames at n / rate, Pillow's durations adding up to
// each frame's start.
ReadBack readBack(Kind kind, const QString& path, int count, int frameRate, bool transparent) {
    ReadBack back;
    if (isVideo(kind)) {
        const Probe info = probe(path);
        EXPECT_EQ(info["codec_name"], kind == Kind::Mp4 ? "h264" : "vp9");
        EXPECT_EQ(info["nb_read_frames"], std::to_string(count));
        EXPECT_EQ(info["r_frame_rate"], std::to_string(frameRate) + "/1");
        EXPECT_NEAR(std::stod(info["duration"].empty() ? "0" : info["duration"]),
                    double(count) / frameRate, 0.0015);
        EXPECT_EQ(info.times.size(), std::size_t(count));
        // MP4 keeps a multiple of the frame rate as its time scale; WebM counts milliseconds.
        const double tolerance = kind == Kind::Mp4 ? 1e-6 : 0.0005 + 1e-6;
        for (std::size_t n = 0; n < info.times.size(); ++n)
            EXPECT_NEAR(info.times[n], double(n) / frameRate, tolerance) << n;
        back.shown = decodeVideo(path, kind == Kind::Webm && transparent);
        EXPECT_EQ(back.shown.size(), std::size_t(count));
        return back;
    }
    QStringList files;
    if (kind == Kind::PngFrames)
        for (int n = 0; n < count; ++n)
            files << QString::fromStdString(PngFramesExporter::framePath(path.toStdString(), n));
    else
        files << path;
    std::vector<QImage> frames;
    const std::vector<PillowFile> read = readWithPillow(files, frames);
    EXPECT_EQ(read.size(), std::size_t(files.size()));
    if (read.empty())
        return back;
    if (kind == Kind::PngFrames) {
        back.shown = frames;
        return back;
    }
    const PillowFile& file = read[0];
    back.loop = file.loop;
    // Frame n starts at its time; a frame of the file may stand for several equal frames.
    std::vector<double> starts{0};
    for (const double d : file.durations)
        starts.push_back(starts.back() + d);
    const double period = 1000.0 / frameRate;
    EXPECT_NEAR(starts.back(), count * period, 0.5);
    std::size_t k = 0;
    for (int n = 0; n < count && k < frames.size(); ++n) {
        const double start =
            kind == Kind::Apng ? n * period : WebpExporter::timestamp(n, frameRate);
        while (k + 1 < frames.size() && starts[k + 1] <= start + 1e-6)
            ++k;
        back.shown.push_back(frames[k]);
    }
    if (kind == Kind::Apng) { // FFmpeg's APNG keeps every frame, each for exactly one period
        EXPECT_EQ(file.frames, count);
        for (const double d : file.durations)
            EXPECT_NEAR(d, period, 1e-6);
    } else { // whole milliseconds, each frame's start rounded
        for (int k = 0; k < file.frames; ++k)
            EXPECT_NEAR(file.durations[k], std::round(file.durations[k]), 1e-9);
    }
    return back;
}

// The whole export of `document` through the export road on `threads` threads.
bool exportWith(Document& document, FrameExporter& exporter, const QString& path, int threads,
                std::string& error) {
    exporter.setThreads(ExportJob::threadCount(threads));
    ExportJob::Options options;
    options.threads = threads;
    const ExportJob::Result result =
        ExportJob::run(ExportSource::take(document), exporter, path.toStdString(), options);
    error = result.error;
    return result.completed;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ShareExportTest : public ::testing::Test {
protected:
    // Three squares crossing a green stage in different directions, so that every frame
    // differs and colours, orientation and edges all show.
    void makeProject(int width, int height, int duration, int frameRate) {
        newStage(editor, width, height, duration, frameRate, 0x30A040);
        const QColor colours[] = {QColor(240, 30, 30), QColor(30, 40, 230), QColor(250, 250, 60)};
        for (int i = 0; i < 3; ++i) {
            QImage square(20 + 6 * i, 20, QImage::Format_ARGB32);
            square.fill(colours[i]);
            const QPointF from(16 + i * width / 4, i == 1 ? height - 16 : 16);
            const QPointF to(width - 16 - i * 10, i == 1 ? 16 : height - 16);
            addMover(editor, square, from, to, duration - 1);
        }
    }

    QString pathFor(const Format& format, const QString& name) const {
        const QString base = dir.filePath(name + "_" + format.name);
        return format.kind == Kind::PngFrames ? dir.filePath(name + "_frames/clip")
                                              : base + format.extension;
    }

    QTemporaryDir dir;
    TestEditor editor;
};

// The quality each format reaches per frame against the rendered one: lossless formats
// exactly; 4:2:0 video and lossy WebP share a colour between 2 x 2 pixels, which costs most at
// the edges of saturated squares on a saturated ground (27.8 dB at worst); an upside-down,
// shifted or channel-swapped frame is far below.
double lowestPsnrFor(Kind kind) {
    return kind == Kind::Mp4 || kind == Kind::Webm || kind == Kind::WebpLossy ? 26 : 100;
}

TEST_F(ShareExportTest, EveryFormatReadsBackWithEveryFrameForOnePeriod) {
    struct Row {
        int frameRate;
        int loops;
        QJsonValue pillowLoop; // what Pillow reports for WebP and APNG
    };
    // 12 fps: periods of 83.33 ms; 25 fps: 40 ms, whole milliseconds.
    const Row rows[] = {{12, 0, 0}, {25, 3, 3}, {24, 1, 1}};
    for (const Row& row : rows) {
        makeProject(160, 96, 14, row.frameRate);
        const std::vector<QImage> rendered = exportFrames(editor.document());
        ASSERT_EQ(rendered.size(), 14u);
        for (const Format& format : kFormats) {
            SCOPED_TRACE(std::string(format.name) + " at " + std::to_string(row.frameRate));
            ExportSettings settings;
            settings.loops = row.loops;
            auto exporter = exporterOf(format.kind, settings);
            const QString path = pathFor(format, QString("small%1").arg(row.frameRate));
            std::string error;
            ASSERT_TRUE(exportWith(editor.document(), *exporter, path, 2, error)) << error;
            const ReadBack back = readBack(format.kind, path, 14, row.frameRate, false);
            ASSERT_EQ(back.shown.size(), rendered.size());
            for (std::size_t n = 0; n < rendered.size(); ++n) {
                EXPECT_GE(psnr(rendered[n], back.shown[n]), lowestPsnrFor(format.kind)) << n;
                EXPECT_EQ(alphaError(rendered[n], back.shown[n]), 0) << n; // opaque
            }
            if (format.kind == Kind::WebpLossy || format.kind == Kind::WebpLossless ||
                format.kind == Kind::Apng) {
                EXPECT_EQ(back.loop, row.pillowLoop);
            }
        }
    }
}

TEST_F(ShareExportTest, Mp4PlaysInBrowsersAndPadsAnOddStageWithTheBackground) {
    makeProject(321, 241, 6, 12);
    const std::vector<QImage> rendered = exportFrames(editor.document());
    ExportSettings settings;
    settings.background = 0xFF2040C0;
    Mp4Exporter mp4(settings);
    const QString path = dir.filePath("odd.mp4");
    std::string error;
    ASSERT_TRUE(exportWith(editor.document(), mp4, path, 2, error)) << error;
    const Probe info = probe(path);
    EXPECT_EQ(info["width"], "322"); // one column and one row of background, not scaled
    EXPECT_EQ(info["height"], "242");
    EXPECT_EQ(info["pix_fmt"], "yuv420p");
    EXPECT_EQ(info["profile"], "High");
    // The index before the media data: playable while it downloads.
    const QByteArray bytes = bytesOf(path);
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));
    const std::vector<QImage> decoded = decodeVideo(path, false);
    ASSERT_EQ(decoded.size(), rendered.size());
    for (std::size_t n = 0; n < rendered.size(); ++n) {
        EXPECT_GE(psnr(rendered[n], decoded[n]), 26) << n; // the stage where it was
        // The padding column and row are the background's brightness (their colour is shared
        // with the stage's last column and row in 4:2:0).
        const QImage& picture = decoded[n];
        auto luma = [](QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); };
        for (int y = 0; y < 242; ++y)
            EXPECT_NEAR(luma(picture.pixel(321, y)), luma(settings.background), 6) << n << " " << y;
        for (int x = 0; x < 322; ++x)
            EXPECT_NEAR(luma(picture.pixel(x, 241)), luma(settings.background), 6) << n << " " << x;
    }
}

// Frames with known alpha: a gradient of alpha across the picture and an opaque square that
// moves, on a fully transparent ground.
std::vector<QImage> transparentFrames(int width, int height, int count) {
    std::vector<QImage> frames;
    for (int n = 0; n < count; ++n) {
        QImage frame(width, height, QImage::Format_ARGB32);
        frame.fill(Qt::transparent);
        for (int y = 0; y < height / 2; ++y)
            for (int x = 0; x < width; ++x)
                frame.setPixel(x, y, qRgba(200, 40 + y, 90, x * 255 / (width - 1)));
        for (int y = height / 2 + 2; y < height / 2 + 14; ++y)
            for (int x = 4 + n * 6; x < 16 + n * 6; ++x)
                frame.setPixel(x, y, qRgba(20, 30, 230, 255));
        frames.push_back(frame);
    }
    return frames;
}

TEST_F(ShareExportTest, TransparentFramesKeepTheirAlpha) {
    const int width = 96, height = 64, count = 6, rate = 10;
    const std::vector<QImage> frames = transparentFrames(width, height, count);
    struct Row {
        Kind kind;
        int alphaTolerance; // largest alpha error
        double colourPsnr;  // over pixels that are not fully transparent
    };
    const Row rows[] = {
        {Kind::Webm, 12, 25}, {Kind::WebpLossy, 0, 25},  {Kind::WebpLossless, 0, 100},
        {Kind::Apng, 0, 100}, {Kind::PngFrames, 0, 100},
    };
    for (const Row& row : rows) {
        const Format& format = *std::find_if(std::begin(kFormats), std::end(kFormats),
                                             [&](const Format& f) { return f.kind == row.kind; });
        SCOPED_TRACE(format.name);
        ExportSettings settings;
        settings.transparent = true;
        auto exporter = exporterOf(row.kind, settings);
        const QString path = pathFor(format, "alpha");
        ASSERT_TRUE(exporter->open(path.toStdString(), width, height, rate)) << exporter->error();
        for (int n = 0; n < count; ++n)
            ASSERT_TRUE(exporter->writeFrame(frames[std::size_t(n)], n)) << exporter->error();
        ASSERT_TRUE(exporter->finish()) << exporter->error();
        const ReadBack back = readBack(row.kind, path, count, rate, true);
        ASSERT_EQ(back.shown.size(), frames.size());
        for (std::size_t n = 0; n < frames.size(); ++n) {
            EXPECT_LE(alphaError(frames[n], back.shown[n]), row.alphaTolerance) << n;
            EXPECT_GE(psnr(frames[n], back.shown[n]), row.colourPsnr) << n;
        }
    }
    // Formats without alpha lay such frames over the background colour.
    ExportSettings settings;
    settings.background = 0xFFFFFFFF;
    Mp4Exporter mp4(settings);
    const QString path = dir.filePath("over-white.mp4");
    ASSERT_TRUE(mp4.open(path.toStdString(), width, height, rate));
    for (int n = 0; n < count; ++n)
        ASSERT_TRUE(mp4.writeFrame(frames[std::size_t(n)], n));
    ASSERT_TRUE(mp4.finish());
    const std::vector<QImage> decoded = decodeVideo(path, false);
    ASSERT_EQ(decoded.size(), std::size_t(count));
    QImage expected(width, height, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(0, 0, frames[0]);
    EXPECT_GE(psnr(expected, decoded[0]), 30);
}

TEST_F(ShareExportTest, OneThreadCountAlwaysGivesTheSameBytes) {
    makeProject(128, 80, 8, 12);
    for (const Format& format : kFormats) {
        if (format.kind == Kind::PngFrames)
            continue;
        SCOPED_TRACE(format.name);
        QByteArray first;
        for (int run = 0; run < 2; ++run) {
            auto exporter = exporterOf(format.kind, {});
            const QString path = dir.filePath(QString("same%1").arg(run) + format.extension);
            std::string error;
            ASSERT_TRUE(exportWith(editor.document(), *exporter, path, 2, error)) << error;
            if (run == 0)
                first = bytesOf(path);
            else
                EXPECT_TRUE(!first.isEmpty() && first == bytesOf(path));
        }
    }
}

// An exporter of a format whose encoder this FFmpeg build lacks.
class MissingEncoderExporter : public FfmpegExporter {
public:
    MissingEncoderExporter() : FfmpegExporter("Test", "mp4", "no-such-encoder", {}) {}

protected:
    int pixelFormat() const override { return 0; }
    void configure(AVCodecContext&, AVDictionary**, AVDictionary**, AVStream&) const override {}
};

// The entries of `folder`.
QStringList filesIn(const QString& folder) {
    QStringList files;
    for (const QString& entry :
         QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        files << entry;
    return files;
}

// Hands the exporter noise of the frame's size instead of each frame: it compresses badly.
class NoiseExporter : public FrameExporter {
public:
    explicit NoiseExporter(std::unique_ptr<FrameExporter> inner) : m_inner(std::move(inner)) {}
    void setThreads(int threads) override { m_inner->setThreads(threads); }
    bool open(const std::string& path, int width, int height, int rate) override {
        return m_inner->open(path, width, height, rate);
    }
    std::unique_ptr<PreparedFrame> prepare(QImage frame) const override {
        QImage noise(frame.size(), QImage::Format_RGB32);
        QRandomGenerator random(quint32(frame.cacheKey()));
        for (int y = 0; y < noise.height(); ++y)
            random.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
        return m_inner->prepare(noise.convertToFormat(QImage::Format_RGB32));
    }
    bool writePrepared(PreparedFrame& frame, int index) override {
        return m_inner->writePrepared(frame, index);
    }
    bool writeFrame(const QImage& frame, int index) override {
        return m_inner->writeFrame(frame, index);
    }
    bool finish() override { return m_inner->finish(); }
    void abort() override { m_inner->abort(); }
    std::string error() const override { return m_inner->error(); }

private:
    std::unique_ptr<FrameExporter> m_inner;
};

TEST_F(ShareExportTest, UnwritablePathsFullDisksAndMissingEncodersFailWithAMessageAndNoFile) {
    makeProject(160, 96, 10, 12);
    // A regular file where a folder should be: nothing can be created under it.
    const QString blocker = dir.filePath("blocker");
    QFile(blocker).open(QIODevice::WriteOnly);
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.name);
        auto exporter = exporterOf(format.kind, {});
        const QString path = blocker + "/sub/clip" + format.extension;
        std::string error;
        EXPECT_FALSE(exportWith(editor.document(), *exporter, path, 2, error));
        EXPECT_NE(error.find("blocker"), std::string::npos) << error;
    }

    MissingEncoderExporter missing;
    EXPECT_FALSE(missing.open(dir.filePath("missing.mp4").toStdString(), 160, 96, 12));
    EXPECT_EQ(missing.error(),
              "Cannot write Test files: this FFmpeg build has no no-such-encoder encoder.");
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.mp4")));

    // A disk that fills up: files may grow to 8 KB (writes past it fail with EFBIG instead of
    // ending the process), and the frames are noise, which no format compresses below that.
    // Every export fails with a message and leaves nothing behind.
    makeProject(320, 240, 10, 12);
    const QString full = dir.filePath("full");
    QDir().mkpath(full);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    std::map<std::string, std::string> errors;
    for (const Format& format : kFormats) {
        rlimit limit = saved;
        limit.rlim_cur = 8000;
        setrlimit(RLIMIT_FSIZE, &limit);
        NoiseExporter exporter(exporterOf(format.kind, {}));
        const QString path =
            format.kind == Kind::PngFrames ? full + "/clip" : full + "/clip" + format.extension;
        std::string error;
        const bool completed = exportWith(editor.document(), exporter, path, 2, error);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(completed) << format.name;
        errors[format.name] = error;
        EXPECT_EQ(filesIn(full).join(' ').toStdString(), "") << format.name;
    }
    std::signal(SIGXFSZ, oldHandler);
    for (const auto& [name, error] : errors)
        EXPECT_NE(error.find("File too large"), std::string::npos) << name << ": " << error;
}

std::string samplePath(int number) {
    return ZENTRAVO_BINARY_DIR "/bin/template/template_" + std::to_string(number) + ".vrn";
}

TEST(ShareSampleExportTest, EverySampleInEveryFormat) {
    QTemporaryDir dir;
    for (int sample = 1; sample <= 4; ++sample) {
        SCOPED_TRACE(sample);
        std::optional<LoadedProject> loaded = ProjectReader::readFile(samplePath(sample));
        ASSERT_TRUE(loaded);
        TestEditor editor;
        editor.openLoaded(std::move(loaded->project), std::move(loaded->symbols));
        const std::vector<QImage> rendered = exportFrames(editor.document());
        const int rate = editor.project().header.frameRate;
        const int count = int(rendered.size());
        for (const Format& format : kFormats) {
            SCOPED_TRACE(format.name);
            auto exporter = exporterOf(format.kind, {});
            const QString path =
                format.kind == Kind::PngFrames
                    ? dir.filePath(QString("frames%1/sample").arg(sample))
                    : dir.filePath(QString("sample%1").arg(sample) + format.extension);
            std::string error;
            ASSERT_TRUE(exportWith(editor.document(), *exporter, path, 0, error)) << error;
            const ReadBack back = readBack(format.kind, path, count, rate, false);
            ASSERT_EQ(back.shown.size(), rendered.size());
            double total = 0;
            for (std::size_t n = 0; n < rendered.size(); ++n)
                total += psnr(rendered[n], back.shown[n]);
            const double mean = total / count;
            std::printf("sample %d %-14s mean PSNR %6.2f dB\n", sample, format.name, mean);
            EXPECT_GE(mean, lowestPsnrFor(format.kind));
        }
    }
}

} // namespace
