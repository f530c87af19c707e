// SWF and AVI exports of small projects, driven through the export road and checked with
// ffprobe and decoded with ffmpeg against the rendered frames.
#include "export/AviExporter.h"
#include "export/AviWriter.h"
#include "export/ExportJob.h"
#include "export/ExportPipeline.h"
#include "export/ExportSource.h"
#include "export/FrameBitmap.h"
#include "export/SwfExporter.h"
#include "export/VideoEncoder.h"

#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/export/ExportFrames.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <sys/mman.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include "tests/ProgramRun.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <thread>
#include <string>
#include <vector>

namespace {

// Runs a program and returns its standard output ("" when it fails).
QByteArray run(const QString& program, const QStringList& arguments) {
    const ProgramRun run = ProgramRun::of(program, arguments, 60000);
    return run.ok() ? run.out : QByteArray();
}

// ffprobe's view of the first video stream: key=value lines.
std::map<std::string, std::string> probe(const QString& path) {
    const QByteArray out =
        run("/usr/bin/ffprobe",
            {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=codec_name,time_base,r_frame_rate,width,height,"
             "nb_read_frames",
             "-of", "default=noprint_wrappers=1", path});
    std::map<std::string, std::string> fields;
    for (const QByteArray& line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            fields[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
    }
    return fields;
}

// Every frame decoded by ffmpeg as packed RGB24, top row first.
std::vector<QByteArray> decodeFrames(const QString& path, int width, int height) {
    const QByteArray raw = run(
        "/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    std::vector<QByteArray> frames;
    const int size = width * height * 3;
    for (int offset = 0; offset + size <= raw.size(); offset += size)
        frames.push_back(raw.mid(offset, size));
    return frames;
}

double meanDifference(const QImage& rendered, const QByteArray& rgb) {
    const QImage picture = rendered.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* line = picture.constScanLine(y);
        const uchar* decoded =
            reinterpret_cast<const uchar*>(rgb.constData()) + y * picture.width() * 3;
        for (int x = 0; x < picture.width() * 3; ++x)
            sum += std::abs(line[x] - decoded[x]);
    }
    return sum / (picture.width() * picture.height() * 3.0);
}

// A buffer of `size` bytes that ends where an inaccessible page begins: a read past its end
// faults at once, also inside FFmpeg's uninstrumented vector code.
class GuardedBuffer {
public:
    explicit GuardedBuffer(std::size_t size) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_length = (size + page - 1) / page * page + page;
        void* base =
            mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED)
            return;
        m_base = static_cast<std::uint8_t*>(base);
        if (mprotect(m_base + m_length - page, page, PROT_NONE) != 0)
            return;
        m_data = m_base + m_length - page - size;
    }
    ~GuardedBuffer() {
        if (m_base)
            munmap(m_base, m_length);
    }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
    std::uint8_t* data() const { return m_data; }

private:
    std::uint8_t* m_base = nullptr;
    std::uint8_t* m_data = nullptr;
    std::size_t m_length = 0;
};

// Keeps a copy of every frame handed to the real exporter (already opened).
class RecordingExporter : public FrameExporter {
public:
    explicit RecordingExporter(std::unique_ptr<FrameExporter> inner) : m_inner(std::move(inner)) {}
    bool open(const std::string&, int, int, int) override { return true; }
    bool writeFrame(const QImage& frame, int index) override {
        frames.push_back(frame.copy());
        return m_inner->writeFrame(frame, index);
    }
    bool finish() override { return m_inner->finish(); }
    void abort() override { m_inner->abort(); }
    std::string error() const override { return m_inner->error(); }
    std::vector<QImage> frames;

private:
    std::unique_ptr<FrameExporter> m_inner;
};

class VideoExportTest : public ::testing::Test {
protected:
    // A project with a red square moving left to right and a blue one standing still, on a
    // yellowish background, so that colours and orientation both show.
    void makeProject(int width, int height, int duration, int frameRate) {
        newStage(editor, width, height, duration, frameRate, 0x40E0F0);
        QImage red(24, 24, QImage::Format_ARGB32);
        red.fill(QColor(230, 20, 20));
        editor.insertLibrarySymbol(SymbolId::create(), {red});
        AnimationObject& mover = editor.project().objects[0];
        mover.record.startX = 20;
        mover.record.startY = 20;
        mover.record.endX = static_cast<float>(width - 20);
        mover.record.endY = static_cast<float>(height - 20);
        mover.record.motionKind = kLinerMotion;
        mover.record.motionEndFrame = duration - 1;
        QImage blue(16, 32, QImage::Format_ARGB32);
        blue.fill(QColor(20, 40, 220));
        editor.insertLibrarySymbol(SymbolId::create(), {blue});
        AnimationObject& stand = editor.project().objects[1];
        stand.record.startX = stand.record.endX = static_cast<float>(width - 30);
        stand.record.startY = stand.record.endY = 20;
    }

    // An export of the project into `path` through `exporter` (already opened), keeping the
    // frames it is handed; with `cancelAfter`, cancelled once that many frames were written.
    struct Run {
        ExportJob::Result result;
        std::vector<QImage> frames;
        int lastPercent = 0;
    };
    Run runExport(std::unique_ptr<FrameExporter> exporter, const QString& path,
                  int cancelAfter = -1) {
        RecordingExporter recorder(std::move(exporter));
        Run run;
        int written = 0;
        ExportJob::Options options;
        options.progress = [&](int done, int total) {
            written = done;
            run.lastPercent = done * 100 / total;
        };
        options.cancelled = [&] { return cancelAfter >= 0 && written >= cancelAfter; };
        run.result = ExportJob::encode(ExportSource::take(editor.document()), recorder,
                                       path.toStdString(), options);
        run.frames = std::move(recorder.frames);
        return run;
    }

    QTemporaryDir dir;
    TestEditor editor;
};

TEST_F(VideoExportTest, SwfHoldsOneFlv1PictureForEachFrameAtTheProjectRate) {
    makeProject(160, 96, 12, 12);
    const QString path = dir.filePath("movie.swf");
    auto swf = std::make_unique<SwfExporter>();
    ASSERT_TRUE(swf->open(path.toStdString(), 160, 96, 12));
    // The stream as the encoder set it up: fixed quantiser 255 as lambda, GOP 12.
    const AVCodecContext* codec = swf->encoder().codecContext(swf->streamIndex());
    ASSERT_NE(codec, nullptr);
    EXPECT_EQ(codec->global_quality, 30090);
    EXPECT_EQ(codec->gop_size, 12);
    EXPECT_EQ(codec->time_base.num, 1);
    EXPECT_EQ(codec->time_base.den, 12);
    EXPECT_EQ(codec->pix_fmt, avcodec_find_encoder(AV_CODEC_ID_FLV1)->pix_fmts[0]);

    const Run run = runExport(std::move(swf), path);
    EXPECT_TRUE(run.result.completed);
    EXPECT_EQ(run.lastPercent, 100);
    EXPECT_EQ(run.result.error, "");
    const std::vector<QImage>& recorded = run.frames;
    EXPECT_EQ(recorded.size(), 12u);

    const auto fields = probe(path);
    EXPECT_EQ(fields.at("codec_name"), "flv1");
    EXPECT_EQ(fields.at("time_base"), "1/12");
    EXPECT_EQ(fields.at("nb_read_frames"), "12");
    EXPECT_EQ(fields.at("width"), "160");
    EXPECT_EQ(fields.at("height"), "96");
    // Upright and true-coloured: close to the rendered frames (the quantiser is coarse).
    const std::vector<QByteArray> decoded = decodeFrames(path, 160, 96);
    ASSERT_EQ(decoded.size(), 12u);
    for (int f = 0; f < 12; ++f) {
        const double upright = meanDifference(recorded[f], decoded[f]);
        EXPECT_LT(upright, 12.0) << f;
        // An upside-down or red/blue-swapped movie would be much further off.
        EXPECT_LT(upright * 2, meanDifference(recorded[f].mirrored(false, true), decoded[f]));
        EXPECT_LT(upright * 2, meanDifference(recorded[f].rgbSwapped(), decoded[f]));
    }
}

TEST_F(VideoExportTest, AviForEveryOfferedCodecHasTheProjectRateSizeAndFrames) {
    const std::vector<std::string> codecs = AviWriter::availableCodecs();
    ASSERT_GE(codecs.size(), 4u); // rawvideo, mjpeg, mpeg4 and ffv1 are always built
    if (std::find(codecs.begin(), codecs.end(), "libx264") == codecs.end())
        std::printf("note: no libx264 in this build; H.264 is not offered\n");
    // Widths 322 and 150: rows of 966 and 450 bytes, padded to 968 and 452.
    struct Size {
        int width;
        int height;
    };
    for (const Size size : {Size{322, 120}, Size{150, 90}}) {
        makeProject(size.width, size.height, 9, 12);
        for (const std::string& codec : codecs) {
            SCOPED_TRACE(codec + " " + std::to_string(size.width));
            const QString path = dir.filePath(QString::fromStdString(codec) + ".avi");
            AviCompressOptions options;
            options.codec = codec;
            options.quality = 9000;
            options.keyFrameEvery = 4;
            auto avi = std::make_unique<AviExporter>([&] { return options; });
            ASSERT_TRUE(avi->open(path.toStdString(), size.width, size.height, 12)) << avi->error();
            const Run run = runExport(std::move(avi), path);
            EXPECT_TRUE(run.result.completed);
            EXPECT_EQ(run.result.error, "");
            const auto fields = probe(path);
            EXPECT_EQ(fields.at("r_frame_rate"), "12/1");
            EXPECT_EQ(fields.at("time_base"), "1/12");
            EXPECT_EQ(fields.at("width"), std::to_string(size.width));
            EXPECT_EQ(fields.at("height"), std::to_string(size.height));
            EXPECT_EQ(fields.at("nb_read_frames"), "9");
            const std::vector<QByteArray> decoded = decodeFrames(path, size.width, size.height);
            ASSERT_EQ(decoded.size(), 9u);
            const bool lossless = codec == "rawvideo" || codec == "ffv1";
            for (int f = 0; f < 9; ++f) {
                const double difference = meanDifference(run.frames[f], decoded[f]);
                if (lossless)
                    EXPECT_EQ(difference, 0.0) << f;
                else
                    EXPECT_LT(difference, 6.0) << f;
            }
        }
    }
}

TEST_F(VideoExportTest, FailedOrCancelledSetupsAndStoppedExportsLeaveNoFile) {
    makeProject(64, 48, 6, 12);
    // The codec choice cancelled: no message, no file (the file made for it is removed).
    const QString cancelled = dir.filePath("cancelled.avi");
    AviExporter avi([] { return std::optional<AviCompressOptions>(); });
    EXPECT_FALSE(avi.open(cancelled.toStdString(), 64, 48, 12));
    EXPECT_EQ(avi.error(), "");
    EXPECT_FALSE(QFile::exists(cancelled));

    // A codec that cannot be set up, a folder that does not exist: message, no file.
    const QString badCodec = dir.filePath("bad.avi");
    AviExporter avi2([] { return AviCompressOptions{"no-such-codec", -1, 0, 0}; });
    EXPECT_FALSE(avi2.open(badCodec.toStdString(), 64, 48, 12));
    EXPECT_EQ(avi2.error(), "Write AVI error.");
    EXPECT_FALSE(QFile::exists(badCodec));
    AviExporter avi3({});
    EXPECT_FALSE(avi3.open(dir.filePath("missing/x.avi").toStdString(), 64, 48, 12));
    EXPECT_EQ(avi3.error(), "Write AVI error.");

    // A SWF stream the encoder refuses (no frame rate) or a file that cannot be made: the
    // export does not run, with a message and no file.
    SwfExporter swf;
    const QString badSwf = dir.filePath("bad.swf");
    EXPECT_FALSE(swf.open(badSwf.toStdString(), 64, 48, 0));
    EXPECT_EQ(swf.error(), "Write SWF error.");
    EXPECT_FALSE(QFile::exists(badSwf));
    SwfExporter swf2;
    EXPECT_FALSE(swf2.open(dir.filePath("missing/x.swf").toStdString(), 64, 48, 12));
    EXPECT_EQ(swf2.error(), "Write SWF error.");

    // Stopped after three frames: cancel leaves no file.
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind);
        const QString path = dir.filePath(kind == 0 ? "stopped.swf" : "stopped.avi");
        std::unique_ptr<FrameExporter> exporter;
        if (kind == 0)
            exporter = std::make_unique<SwfExporter>();
        else
            exporter = std::make_unique<AviExporter>(AviExporter::CodecChooser{});
        ASSERT_TRUE(exporter->open(path.toStdString(), 64, 48, 12));
        ASSERT_TRUE(QFile::exists(path));
        const Run run = runExport(std::move(exporter), path, 3);
        EXPECT_TRUE(run.result.cancelled);
        EXPECT_FALSE(run.result.completed);
        EXPECT_EQ(run.result.error, "");
        EXPECT_EQ(run.frames.size(), 3u);
        EXPECT_EQ(run.lastPercent, 50);
        EXPECT_FALSE(QFile::exists(path));
    }
}

// Writes through a real AVI exporter and hands it a picture of the wrong size at frame
// `failAt`, so that its own write check fails as a failing disk would.
class FailingAviExporter : public FrameExporter {
public:
    explicit FailingAviExporter(int failAt) : m_failAt(failAt) {}
    bool open(const std::string& path, int width, int height, int frameRate) override {
        return m_avi.open(path, width, height, frameRate);
    }
    bool writeFrame(const QImage& frame, int index) override {
        return m_avi.writeFrame(index == m_failAt ? QImage(1, 1, frame.format()) : frame, index);
    }
    bool finish() override { return m_avi.finish(); }
    void abort() override { m_avi.abort(); }
    std::string error() const override { return m_avi.error(); }

private:
    AviExporter m_avi{AviExporter::CodecChooser{}};
    int m_failAt;
};

TEST_F(VideoExportTest, AviCodecCancelSaysNothingAndAFailedWriteIsShown) {
    makeProject(64, 48, 6, 12);
    RecordingMessageSink sink;
    ExportPipeline pipeline(editor.document(), sink, nullptr);

    const std::string cancelled = dir.filePath("cancelled.avi").toStdString();
    auto chooserCancelled = [] { return std::optional<AviCompressOptions>(); };
    EXPECT_FALSE(pipeline.start(cancelled, std::make_unique<AviExporter>(chooserCancelled)));
    EXPECT_TRUE(sink.messages.empty()); // no (empty) message box for a cancelled choice
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cancelled)));

    const std::string broken = dir.filePath("broken.avi").toStdString();
    ASSERT_TRUE(pipeline.start(broken, std::make_unique<FailingAviExporter>(2)));
    pipeline.wait();
    EXPECT_TRUE(pipeline.progress().done);
    EXPECT_FALSE(pipeline.reportOutcome());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Write AVI error.");
}

TEST_F(VideoExportTest, EncodersReadNothingPastTheFramesTheyAreHanded) {
    // FFmpeg's converters read their source in blocks of pixels; handed the caller's tightly
    // sized frame they would read past its end. Widths whose rows end inside such a block, each
    // frame right before an inaccessible page.
    for (const int width : {322, 330, 346}) {
        SCOPED_TRACE(width);
        const int height = 120;
        const std::size_t rgbSize = static_cast<std::size_t>(width) * height * 3;

        VideoEncoder encoder;
        const std::string swf = dir.filePath("guarded.swf").toStdString();
        ASSERT_TRUE(encoder.SetOutputFile(swf.c_str()));
        const int stream = encoder.AddVideoStream(12, width, height, AV_CODEC_ID_FLV1, 0, 255,
                                                  "SWF", width, height);
        ASSERT_TRUE(encoder.OpenStream(stream));
        ASSERT_TRUE(encoder.BeginFile());
        GuardedBuffer rgb(rgbSize);
        ASSERT_NE(rgb.data(), nullptr);
        for (std::size_t i = 0; i < rgbSize; ++i)
            rgb.data()[i] = static_cast<std::uint8_t>(i * 7);
        for (int frame = 0; frame < 3; ++frame)
            EXPECT_TRUE(
                encoder.EncodeVideoFrame(stream, rgb.data(), AV_PIX_FMT_RGB24, width, height));
        EXPECT_TRUE(encoder.CloseStream(stream));
        EXPECT_TRUE(encoder.Finish());

        const std::size_t bitsSize =
            static_cast<std::size_t>(FrameBitmap::strideFor(width)) * height;
        GuardedBuffer bits(bitsSize);
        ASSERT_NE(bits.data(), nullptr);
        for (std::size_t i = 0; i < bitsSize; ++i)
            bits.data()[i] = static_cast<std::uint8_t>(i * 3);
        for (const std::string& codec : AviWriter::availableCodecs()) {
            SCOPED_TRACE(codec);
            const std::string avi = dir.filePath("guarded.avi").toStdString();
            AviWriter writer;
            ASSERT_TRUE(writer.open(avi));
            ASSERT_TRUE(writer.createStream(12, width, height));
            AviCompressOptions options;
            options.codec = codec;
            ASSERT_TRUE(writer.setCompression(options));
            for (int frame = 0; frame < 3; ++frame)
                EXPECT_TRUE(writer.writeFrame(bits.data(), frame));
            EXPECT_TRUE(writer.close());
        }
    }
}

} // namespace

// A format whose completion takes long (as the best GIF mode's palette work does): a cancel
// arriving while the last frame finishes still leaves no file.
TEST_F(VideoExportTest, ACancelWhileTheLastFrameFinishesLeavesNoFile) {
    makeProject(64, 48, 3, 12);
    const QString path = dir.filePath("slow.out");
    struct SlowFinish : FrameExporter {
        std::function<void()> whileFinishing;
        bool open(const std::string&, int, int, int) override { return true; }
        bool writeFrame(const QImage&, int) override { return true; }
        bool finish() override {
            whileFinishing();
            return true;
        }
        void abort() override {}
        std::string error() const override { return {}; }
    };
    SlowFinish slow;
    QFile(path).open(QIODevice::WriteOnly); // the file the format wrote
    ASSERT_TRUE(QFileInfo::exists(path));
    std::atomic<bool> cancelled{false};
    slow.whileFinishing = [&] { cancelled = true; }; // the user cancels meanwhile
    ExportJob::Options options;
    options.cancelled = [&] { return cancelled.load(); };
    const ExportJob::Result result =
        ExportJob::encode(ExportSource::take(editor.document()), slow, path.toStdString(), options);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(QFileInfo::exists(path));
}

namespace {

// Every codec writes the same bytes whatever the number of threads the export runs on:
// conversions are made on the drawing threads, and Motion JPEG encodes pictures in parallel.
TEST(VideoExportThreadsTest, AviBytesAreTheSameOnOneThreadAndOnSeveral) {
    TestEditor editor;
    ProjectProperties properties;
    properties.name = "Threads";
    properties.width = 96;
    properties.height = 64;
    properties.duration = 14;
    editor.newProject(properties);
    editor.insertLibrarySymbol(SymbolId::create(), solidFrames(3, 20, 20));
    editor.editObject(0, [](AnimationObject& object) {
        object.record.motionKind = kLinerMotion;
        object.record.endX = 70;
        object.record.endAngle = 200;
    });
    QTemporaryDir dir;
    // A quality (a fixed quantiser) and none (the codec's own rate control).
    for (const std::string& codec : AviWriter::availableCodecs())
    for (int quality : {6000, -1}) {
        SCOPED_TRACE(codec + " quality " + std::to_string(quality));
        std::vector<QByteArray> outputs;
        for (int threads : {1, 3}) {
            const QString path = dir.filePath(
                QString("%1-%2-%3.avi").arg(codec.c_str()).arg(quality).arg(threads));
            AviExporter avi(
                [&codec, quality] { return AviCompressOptions{codec, quality, 5, 0}; });
            ExportJob::Options options;
            options.threads = threads;
            ASSERT_TRUE(ExportJob::run(ExportSource::take(editor.document()), avi,
                                       path.toStdString(), options)
                            .completed);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            outputs.push_back(file.readAll());
        }
        EXPECT_FALSE(outputs[0].isEmpty());
        EXPECT_EQ(outputs[0], outputs[1]);
    }
}

} // namespace
