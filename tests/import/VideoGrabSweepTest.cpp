// Which picture each reader grabs, over codec and container pairs made at test time by the
// ffmpeg program: at exact picture starts, just before them and inside pictures, seeking and
// stepping. The picture shown at t is the one whose presentation span [k / rate, (k + 1) / rate)
// contains t; the reference is an independent decode of every picture in output order.
#include "import/MediaDetReader.h"
#include "import/VideoFrameReader.h"
#include "tests/import/TestVideo.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 25;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

struct Pair {
    const char* file;
    QStringList options; // encoder and muxer options of the ffmpeg program
};

// Three seconds (75 pictures) of a moving test pattern, a key picture every 12.
const std::vector<Pair>& pairs() {
    static const std::vector<Pair> rows = {
        // MPEG-2 without B-frames in ASF: the decoder holds each picture back by one while
        // the container gives only one time per packet (its presentation time).
        {"mpeg2.asf", {"-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-f", "asf"}},
        {"mpeg2_bframes.asf",
         {"-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-bf", "2", "-f", "asf"}},
        {"mpeg2.mpg", {"-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-bf", "2", "-f", "mpeg"}},
        {"mpeg2.m2v",
         {"-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-bf", "2", "-f", "mpeg2video"}},
        {"mpeg2.avi", {"-c:v", "mpeg2video", "-q:v", "2", "-g", "12"}},
        {"mpeg4.avi", {"-c:v", "mpeg4", "-q:v", "2", "-g", "12", "-bf", "2"}},
        {"mpeg4.mp4", {"-c:v", "mpeg4", "-q:v", "2", "-g", "12", "-bf", "2"}},
        {"h264.avi", {"-c:v", "libx264", "-preset", "veryfast", "-crf", "16", "-g", "12"}},
        {"h264.mp4", {"-c:v", "libx264", "-preset", "veryfast", "-crf", "16", "-g", "12"}},
        {"wmv2.wmv", {"-c:v", "wmv2", "-q:v", "2", "-g", "12"}},
        {"vp9.webm",
         {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-crf", "20", "-b:v", "0", "-g", "12"}},
    };
    return rows;
}

// Picture starts (k / 25 s), a millisecond before them, and times inside pictures; backwards
// and forwards across key pictures.
const double kTimes[] = {0.0,  0.04,  1.48, 1.479, 2.5,  2.499, 0.039, 0.5,
                         2.96, 2.999, 1.0,  0.999, 0.48, 0.479, 1.52,  2.0};

// The index of the picture whose presentation span contains `seconds`, in whole microseconds
// so that a picture start written in decimal is not lost to binary rounding.
int pictureAt(double seconds) {
    const long long us = std::llround(seconds * 1e6);
    return static_cast<int>(us * kRate / 1000000);
}

// The reference picture that `got` (bottom-up BGR, the readers' copy layout) matches best.
int bestMatch(const std::vector<TestVideo::Decoded>& reference,
              const std::vector<std::uint8_t>& got, double* difference) {
    int best = -1;
    double bestDifference = 1e9;
    std::vector<std::uint8_t> expected(got.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const std::vector<std::uint8_t>& rgb = reference[i].rgb;
        if (rgb.size() != got.size())
            continue;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    expected[(std::size_t(y) * kWidth + x) * 3 + c] =
                        rgb[(std::size_t(kHeight - 1 - y) * kWidth + x) * 3 + 2 - c];
        const double d = TestVideo::meanDifference(got.data(), expected.data(), got.size());
        if (d < bestDifference) {
            bestDifference = d;
            best = static_cast<int>(i);
        }
    }
    *difference = bestDifference;
    return best;
}

class VideoGrabSweepTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        av_log_set_level(AV_LOG_PANIC);
        s_dir = std::make_unique<QTemporaryDir>();
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    // Makes the pair's file; false (with a note) only when this build's ffmpeg lacks the
    // optional libx264 or libvpx encoders.
    static std::string make(const Pair& pair, bool& skipped) {
        const std::string path = (s_dir->path() + "/" + pair.file).toStdString();
        skipped = false;
        const QString source =
            QString("testsrc2=size=%1x%2:rate=%3:duration=3").arg(kWidth).arg(kHeight).arg(kRate);
        if (TestVideo::runFfmpeg(QStringList{"-f", "lavfi", "-i", source} + pair.options +
                                 QStringList{QString::fromStdString(path)}))
            return path;
        const QString options = pair.options.join(' ');
        skipped = options.contains("libx264") || options.contains("libvpx");
        if (skipped)
            std::printf("note: no encoder for %s in this ffmpeg, skipped\n", pair.file);
        return {};
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
};
std::unique_ptr<QTemporaryDir> VideoGrabSweepTest::s_dir;

// Checks one grabbed picture against the reference: the picture at `seconds`, exactly.
void expectPictureAt(const std::vector<TestVideo::Decoded>& reference,
                     const std::vector<std::uint8_t>& got, double seconds, const char* how) {
    double difference = 0.0;
    const int best = bestMatch(reference, got, &difference);
    EXPECT_EQ(best, pictureAt(seconds)) << how << " at " << seconds << " s gave picture " << best
                                        << " (difference " << difference << ")";
    EXPECT_LT(difference, 1.0) << how << " at " << seconds << " s";
}

TEST_F(VideoGrabSweepTest, BothReadersGiveThePictureWhoseSpanContainsTheTime) {
    for (const Pair& pair : pairs()) {
        SCOPED_TRACE(pair.file);
        bool skipped = false;
        const std::string path = make(pair, skipped);
        if (skipped)
            continue;
        ASSERT_FALSE(path.empty()) << "could not make " << pair.file;
        const std::vector<TestVideo::Decoded> reference = TestVideo::decodeAll(path, kRate);
        ASSERT_EQ(reference.size(), 75u);

        VideoFrameReader seeking;
        MediaDetReader detector;
        ASSERT_TRUE(seeking.Open(path.c_str()));
        ASSERT_EQ(detector.Open(path.c_str()), 1);
        for (double t : kTimes) {
            ASSERT_TRUE(seeking.SeekGrab(t)) << t;
            expectPictureAt(reference, seeking.copyFrame(), t, "SeekGrab");
            ASSERT_EQ(detector.Grab(t), 1) << t;
            expectPictureAt(reference, detector.copyFrame(), t, "media detector");
        }

        // The dialog's way: one SeekGrab, then StepGrab at increasing times, some a picture
        // apart, some a few pictures apart, some on picture starts.
        VideoFrameReader stepping;
        ASSERT_TRUE(stepping.Open(path.c_str()));
        ASSERT_TRUE(stepping.SeekGrab(0.0));
        for (double t = 0.0; t < 2.99; t += (t < 1.5 ? 0.04 : 0.12)) {
            const double rounded = std::round(t * 1000.0) / 1000.0;
            ASSERT_TRUE(stepping.StepGrab(rounded)) << rounded;
            expectPictureAt(reference, stepping.copyFrame(), rounded, "StepGrab");
        }
    }
}

} // namespace
