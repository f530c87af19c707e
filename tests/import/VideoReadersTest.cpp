// The two frame readers against videos made at test time: which reader the probe picks, the
// durations (also of raw streams that state none), the pictures at given times against an
// independent decode, step grabbing, the detector's time bounds, damaged or foreign files and
// the log lines.
#include "import/MediaDetReader.h"
#include "import/VideoFrameReader.h"
#include "tests/import/TestVideo.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr int kRate = 24;
constexpr int kFrames = 240; // 10 seconds

struct VideoRow {
    const char* file;
    const char* encoder;
    int gop;
    bool probeAccepts; // FFmpeg reader (true) or media-detector reader (false)
};

const VideoRow kVideos[] = {
    {"mpeg4.avi", "mpeg4", 12, true},      {"msmpeg4v3.avi", "msmpeg4", 12, true},
    {"mpeg2.mpg", "mpeg2video", 12, true}, {"h264.avi", "libx264", 48, false},
    {"wmv2.wmv", "wmv2", 12, false},
};

// The import layout of a reference picture: bottom row first, blue-green-red.
std::vector<std::uint8_t> bottomUpBgr(const std::vector<std::uint8_t>& rgb, int w, int h) {
    std::vector<std::uint8_t> out(rgb.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                out[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
                    rgb[(static_cast<std::size_t>(h - 1 - y) * w + x) * 3 + 2 - c];
    return out;
}

// Lines FFmpeg logs at panic level while a test listens.
std::mutex gLogMutex;
std::vector<std::string> gPanicLines;
void recordPanic(void*, int level, const char* format, va_list args) {
    if (level != AV_LOG_PANIC)
        return;
    std::string line(512, '\0');
    const int length = std::vsnprintf(line.data(), line.size(), format, args);
    line.resize(length > 0 ? std::min<std::size_t>(length, line.size() - 1) : 0);
    std::lock_guard lock(gLogMutex);
    gPanicLines.push_back(std::move(line));
}

// Frames that cannot be allocated, on demand: this binary links with --wrap=av_frame_alloc, so
// the calls made by our own code (not those inside FFmpeg) come here.
std::atomic<int> gFailingFrameAllocations{0};

} // namespace

extern "C" AVFrame* __real_av_frame_alloc();
extern "C" AVFrame* __wrap_av_frame_alloc() {
    if (gFailingFrameAllocations > 0) {
        --gFailingFrameAllocations;
        return nullptr;
    }
    return __real_av_frame_alloc();
}

namespace {

class VideoReadersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        av_log_set_level(AV_LOG_PANIC); // damaged files make the decoders talk a lot
        s_dir = std::make_unique<QTemporaryDir>();
        for (const VideoRow& row : kVideos) {
            const std::string path = pathOf(row.file);
            s_made[row.file] =
                TestVideo::write(path, {row.encoder, kWidth, kHeight, kRate, kFrames, row.gop});
        }
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    static std::string pathOf(const char* file) {
        return (s_dir->path() + "/" + file).toStdString();
    }
    // Skips the row (with the reason) when this build's libavcodec cannot make the video.
    static bool made(const VideoRow& row) { return s_made[row.file]; }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static std::map<std::string, bool> s_made;
};
std::unique_ptr<QTemporaryDir> VideoReadersTest::s_dir;
std::map<std::string, bool> VideoReadersTest::s_made;

#define SKIP_UNLESS_MADE(row)                                                                      \
    if (!made(row)) {                                                                              \
        ADD_FAILURE_IF_REQUIRED(row);                                                              \
        continue;                                                                                  \
    }
// Only the H.264 encoder may be missing from a build (libx264 is optional in libavcodec).
#define ADD_FAILURE_IF_REQUIRED(row)                                                               \
    if (std::string((row).encoder) != "libx264")                                                   \
        ADD_FAILURE() << "could not make " << (row).file << " with " << (row).encoder;             \
    else                                                                                           \
        std::printf("note: no libx264 encoder in this build, %s skipped\n", (row).file)

TEST_F(VideoReadersTest, ProbeChoosesTheReaderAndBothGiveDurationAndSize) {
    for (const VideoRow& row : kVideos) {
        SCOPED_TRACE(row.file);
        SKIP_UNLESS_MADE(row);
        const std::string path = pathOf(row.file);
        std::uint8_t supported = 0;
        EXPECT_EQ(VideoFrameReader::Probe(path.c_str(), &supported), row.probeAccepts);
        EXPECT_EQ(supported, row.probeAccepts ? 1 : 0);
        if (row.probeAccepts) {
            VideoFrameReader reader;
            ASSERT_TRUE(reader.Open(path.c_str()));
            EXPECT_NEAR(reader.GetDuration(), 10.0, 0.6); // containers add a little
            EXPECT_EQ(reader.GetWidth(), kWidth);
            EXPECT_EQ(reader.GetHeight(), kHeight);
        } else {
            MediaDetReader reader;
            ASSERT_EQ(reader.Open(path.c_str()), 1);
            EXPECT_NEAR(reader.GetDuration(), 10.0, 0.15);
            EXPECT_EQ(reader.GetWidth(), kWidth);
            EXPECT_EQ(reader.GetHeight(), kHeight);
        }
    }
}

TEST_F(VideoReadersTest, GrabbedPicturesAreThePicturesShownAtThatTime) {
    // On picture boundaries, between them, inside and across groups of pictures, backwards.
    const double times[] = {0.0, 0.02, 1.0, 3.51, 7.77, 2.2, 9.9, 0.5};
    for (const VideoRow& row : kVideos) {
        SCOPED_TRACE(row.file);
        SKIP_UNLESS_MADE(row);
        const std::string path = pathOf(row.file);
        const std::vector<TestVideo::Decoded> reference = TestVideo::decodeAll(path, kRate);
        ASSERT_GE(reference.size(), static_cast<std::size_t>(kFrames));
        VideoFrameReader ffmpeg;
        MediaDetReader detector;
        ASSERT_TRUE(row.probeAccepts ? ffmpeg.Open(path.c_str())
                                     : detector.Open(path.c_str()) == 1);
        for (double t : times) {
            SCOPED_TRACE(t);
            ASSERT_TRUE(row.probeAccepts ? ffmpeg.SeekGrab(t) : detector.Grab(t) == 1);
            const std::vector<std::uint8_t> got =
                row.probeAccepts ? ffmpeg.copyFrame() : detector.copyFrame();
            const TestVideo::Decoded* shown = TestVideo::shownAt(reference, t);
            ASSERT_NE(shown, nullptr);
            const auto expected = bottomUpBgr(shown->rgb, kWidth, kHeight);
            ASSERT_EQ(got.size(), expected.size());
            EXPECT_LT(TestVideo::meanDifference(got.data(), expected.data(), got.size()), 0.5);
        }
    }
}

TEST_F(VideoReadersTest, StepGrabAtTwelveSamplesASecondGivesTheSeekGrabPictures) {
    for (const VideoRow& row : kVideos) {
        if (!row.probeAccepts)
            continue;
        SCOPED_TRACE(row.file);
        SKIP_UNLESS_MADE(row);
        const std::string path = pathOf(row.file);
        VideoFrameReader stepping;
        VideoFrameReader seeking;
        ASSERT_TRUE(stepping.Open(path.c_str()));
        ASSERT_TRUE(seeking.Open(path.c_str()));
        const int samples = static_cast<int>(stepping.GetDuration() * 12.0);
        // The dialog: a SeekGrab at the first sample, then StepGrab for each sample.
        ASSERT_TRUE(stepping.SeekGrab(0.0));
        int mismatches = 0;
        for (int i = 0; i < samples && i < kFrames / 2; ++i) {
            const double t = i * 0.083333;
            ASSERT_TRUE(stepping.StepGrab(t)) << i;
            ASSERT_TRUE(seeking.SeekGrab(t)) << i;
            const std::size_t size = static_cast<std::size_t>(kWidth) * kHeight * 3;
            if (TestVideo::meanDifference(stepping.rgb(), seeking.rgb(), size) != 0.0)
                ++mismatches;
        }
        // MPEG program streams stamp the first pictures after a seek from guessed times
        // that can lag one picture behind, so a picture right after the periodic seek may
        // differ by one from the seeking grab (known limit, a few samples in 120).
        const bool programStream = std::string(row.file) == "mpeg2.mpg";
        EXPECT_LE(mismatches, programStream ? 3 : 0);
    }
}

TEST_F(VideoReadersTest, DetectorRefusesTimesOutsideTheStream) {
    for (const VideoRow& row : kVideos) {
        if (row.probeAccepts)
            continue;
        SCOPED_TRACE(row.file);
        SKIP_UNLESS_MADE(row);
        MediaDetReader reader;
        ASSERT_EQ(reader.Open(pathOf(row.file).c_str()), 1);
        const double length = reader.GetDuration();
        EXPECT_EQ(reader.Grab(-0.01), 0);
        EXPECT_EQ(reader.Grab(length), 0);
        EXPECT_EQ(reader.Grab(length + 5.0), 0);
        EXPECT_EQ(reader.Grab(length - 0.01), 1);
        if (std::string(row.file) == "h264.avi") {
            // 240 pictures at 24 per second: exactly 10 seconds.
            EXPECT_DOUBLE_EQ(length, 10.0);
            EXPECT_EQ(reader.Grab(10.0), 0);
            EXPECT_EQ(reader.Grab(9.99), 1);
        }
    }
}

TEST_F(VideoReadersTest, FilesNeitherReaderOpensAndDamagedFilesDoNotCrash) {
    const VideoRow& source = kVideos[0];
    ASSERT_TRUE(made(source));
    QFile file(QString::fromStdString(pathOf(source.file)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray video = file.readAll();

    QByteArray damaged = video;
    for (int i = 4096; i < damaged.size(); i += 777)
        damaged[i] = static_cast<char>(i * 13);
    const std::vector<std::pair<const char*, QByteArray>> foreign = {
        {"empty.avi", QByteArray()},
        {"text.avi", QByteArray("This is not a video, only text.\n").repeated(40)},
        {"noise.wmv", QByteArray(5000, '\x5a')},
        {"header-only.avi", video.left(300)},
    };
    for (const auto& [name, bytes] : foreign) {
        SCOPED_TRACE(name);
        const std::string path = pathOf(name);
        QFile out(QString::fromStdString(path));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        std::uint8_t supported = 0;
        EXPECT_FALSE(VideoFrameReader::Probe(path.c_str(), &supported));
        EXPECT_EQ(supported, 0);
        VideoFrameReader reader;
        EXPECT_FALSE(reader.Open(path.c_str()));
        EXPECT_FALSE(reader.SeekGrab(1.0));
        EXPECT_FALSE(reader.StepGrab(1.0));
        MediaDetReader detector;
        EXPECT_EQ(detector.Open(path.c_str()), 0);
        EXPECT_EQ(detector.Grab(1.0), 0);
    }

    // Damaged and truncated videos may open or not, but grabbing never crashes.
    const std::vector<std::pair<const char*, QByteArray>> broken = {
        {"damaged.avi", damaged}, {"truncated.avi", video.left(video.size() / 3)}};
    for (const auto& [name, bytes] : broken) {
        SCOPED_TRACE(name);
        const std::string path = pathOf(name);
        QFile out(QString::fromStdString(path));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        VideoFrameReader reader;
        if (reader.Open(path.c_str())) {
            for (int i = 0; i < 130; ++i)
                reader.StepGrab(i * 0.083333);
            for (double t : {9.5, 0.0, 4.0, 100.0, -3.0})
                reader.SeekGrab(t);
        }
        MediaDetReader detector;
        if (detector.Open(path.c_str()) == 1)
            for (double t : {0.0, 1.0, 3.3, 9.9, 2.0})
                detector.Grab(t);
    }
}

TEST_F(VideoReadersTest, DurationGuessAndAspectMessagesGoToTheLog) {
    // 800000 bytes at 64000 bits per second: 800000 x 0.9 / 8000 = 90 seconds.
    EXPECT_DOUBLE_EQ(VideoFrameReader::guessDuration(800000, 64000), 90.0);
    EXPECT_EQ(VideoFrameReader::guessDuration(0, 64000), -1.0);
    EXPECT_EQ(VideoFrameReader::guessDuration(800000, 0), -1.0);
    EXPECT_EQ(VideoFrameReader::guessDuration(800000, 7), -1.0); // under one byte a second

    const std::string path = pathOf("aspect.avi");
    ASSERT_TRUE(TestVideo::write(path, {"mpeg4", kWidth, kHeight, kRate, 24, 12, 4, 3}));
    gPanicLines.clear();
    av_log_set_callback(recordPanic);
    VideoFrameReader reader;
    const bool opened = reader.Open(path.c_str());
    av_log_set_callback(av_log_default_callback);
    ASSERT_TRUE(opened);
    EXPECT_EQ(gPanicLines, std::vector<std::string>{"  * scaling input * 96x64 => 128x64 "
                                                    "according to sample_aspect_ratio 4/3\n"});
    ASSERT_TRUE(reader.SeekGrab(0.5));
    EXPECT_EQ(reader.GetWidth(), kWidth); // frames keep their coded size
    EXPECT_EQ(reader.copyFrame().size(), static_cast<std::size_t>(kWidth) * kHeight * 3);
}

TEST_F(VideoReadersTest, FrameThatCannotBeAllocatedIsLoggedAndFailsTheOpen) {
    ASSERT_TRUE(made(kVideos[0]));
    const std::string path = pathOf(kVideos[0].file);
    gPanicLines.clear();
    av_log_set_callback(recordPanic);
    gFailingFrameAllocations = 1;
    VideoFrameReader reader;
    const bool opened = reader.Open(path.c_str());
    gFailingFrameAllocations = 1;
    MediaDetReader detector;
    const int detectorOpened = detector.Open(path.c_str());
    gFailingFrameAllocations = 0;
    av_log_set_callback(av_log_default_callback);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(reader.SeekGrab(1.0));
    EXPECT_EQ(detectorOpened, 0);
    // Only the FFmpeg reader writes to the log.
    EXPECT_EQ(gPanicLines, std::vector<std::string>{"  couldn't allocate a video frame\n"});
    // Opened again with memory to spare, the same readers work.
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_TRUE(reader.SeekGrab(1.0));
    ASSERT_EQ(detector.Open(path.c_str()), 1);
    EXPECT_EQ(detector.Grab(1.0), 1);
}

TEST_F(VideoReadersTest, RawMpeg2StreamsWithoutDurationAreMeasured) {
    // MPEG-2 elementary streams, saved as .m2v and as .mpg: no container, hence no duration,
    // and no bit rate (variable rate). 48 pictures at 24 per second with B-frames: 2 seconds.
    const double times[] = {0.0, 0.5, 1.3, 1.99, 0.7};
    for (const char* file : {"raw.m2v", "raw.mpg"}) {
        SCOPED_TRACE(file);
        const std::string path = pathOf(file);
        ASSERT_TRUE(
            TestVideo::runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=96x64:rate=24:duration=2",
                                  "-c:v", "mpeg2video", "-q:v", "2", "-bf", "2", "-g", "12", "-f",
                                  "mpeg2video", QString::fromStdString(path)}));
        const std::vector<TestVideo::Decoded> reference = TestVideo::decodeAll(path, 24);
        ASSERT_EQ(reference.size(), 48u);
        std::uint8_t supported = 0;
        EXPECT_TRUE(VideoFrameReader::Probe(path.c_str(), &supported));

        VideoFrameReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        EXPECT_NEAR(reader.GetDuration(), 2.0, 1e-6);
        MediaDetReader detector;
        ASSERT_EQ(detector.Open(path.c_str()), 1);
        EXPECT_NEAR(detector.GetDuration(), 2.0, 1e-6);
        EXPECT_EQ(detector.Grab(2.0), 0);
        for (double t : times) {
            SCOPED_TRACE(t);
            const auto expected = bottomUpBgr(TestVideo::shownAt(reference, t)->rgb, 96, 64);
            ASSERT_TRUE(reader.SeekGrab(t));
            const std::vector<std::uint8_t> seeking = reader.copyFrame();
            EXPECT_LT(TestVideo::meanDifference(seeking.data(), expected.data(), expected.size()),
                      0.5);
            ASSERT_EQ(detector.Grab(t), 1);
            const std::vector<std::uint8_t> detected = detector.copyFrame();
            EXPECT_LT(TestVideo::meanDifference(detected.data(), expected.data(), expected.size()),
                      0.5);
        }
        // The dialog's sampling: StepGrab at 12 a second over the whole stream (inside the
        // pictures: a time on a boundary truncated to microseconds falls in the picture before).
        ASSERT_TRUE(reader.SeekGrab(0.0));
        for (int i = 0; i < 24; ++i) {
            const double t = (2 * i + 0.5) / 24.0;
            ASSERT_TRUE(reader.StepGrab(t)) << t;
            const auto expected = bottomUpBgr(TestVideo::shownAt(reference, t)->rgb, 96, 64);
            const std::vector<std::uint8_t> stepping = reader.copyFrame();
            EXPECT_LT(TestVideo::meanDifference(stepping.data(), expected.data(), expected.size()),
                      0.5)
                << t;
        }
    }
}

} // namespace
