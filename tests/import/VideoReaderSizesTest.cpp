// Both frame readers at every even width from 320 to 352, heights 120 and 240, against the
// ffmpeg program's own decode of the same picture. FFmpeg's vector converters work in blocks
// of pixels: handed a tightly sized buffer they stop short of the last columns or write past
// its end. Both readers and ffmpeg convert with the same converter, so the pixels must be equal.
// ctest runs this binary with glibc's heap checking (outside sanitizer builds, whose allocator
// does not see writes made inside FFmpeg), so an overrun aborts the test.
#include "import/MediaDetReader.h"
#include "import/VideoFrameReader.h"
#include "tests/import/TestVideo.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Three pictures at 10 per second (the test source below); picture 1 is shown from 0.1 s to
// 0.2 s.
constexpr int kPicture = 1;
constexpr double kTime = 0.15;

struct SizedVideo {
    int width;
    int height;
    QString path;
    QByteArray rgb; // ffmpeg's picture 1 as RGB24, top row first
    QByteArray bgr; // and as BGR24
};

// The first and last column (0-based) where two pictures of `width` x 3-byte pixels differ, as
// text; "" when equal.
std::string differentColumns(const std::uint8_t* got, const std::uint8_t* expected, int width,
                             int height, int gotStride, int expectedStride) {
    int first = width;
    int last = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (std::memcmp(got + y * gotStride + x * 3, expected + y * expectedStride + x * 3,
                            3) != 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return last < 0 ? "" : "columns " + std::to_string(first) + " to " + std::to_string(last);
}

class VideoReaderSizesTest : public ::testing::Test {
protected:
    // Made once: one ffmpeg run crops its test pattern to every size and writes MPEG-4 part 2
    // AVIs, one more decodes picture 1 of each to RGB24 and BGR24 files.
    static void SetUpTestSuite() {
        s_dir = std::make_unique<QTemporaryDir>();
        for (int height : {120, 240})
            for (int width = 320; width <= 352; width += 2) {
                const QString path = s_dir->filePath(QString("%1x%2.avi").arg(width).arg(height));
                s_videos.push_back({width, height, path, {}, {}});
            }
        const int count = static_cast<int>(s_videos.size());
        QString split = QString("[0:v]split=%1").arg(count);
        QStringList crops;
        QStringList make{"-f", "lavfi", "-i", "testsrc=size=352x240:rate=10:duration=0.3"};
        QStringList outputs;
        for (int i = 0; i < count; ++i) {
            split += QString("[s%1]").arg(i);
            crops << QString("[s%1]crop=%2:%3:0:0[v%1]")
                         .arg(i)
                         .arg(s_videos[i].width)
                         .arg(s_videos[i].height);
            outputs +=
                {"-map", QString("[v%1]").arg(i), "-c:v", "mpeg4", "-q:v", "2", s_videos[i].path};
        }
        s_made = TestVideo::runFfmpeg(
            make + QStringList{"-filter_complex", split + ";" + crops.join(";")} + outputs);
        if (!s_made)
            return;
        QStringList decode;
        QStringList graph;
        QStringList pictures;
        for (int i = 0; i < count; ++i) {
            decode << "-i" << s_videos[i].path;
            graph << QString("[%1:v]select=eq(n\\,%2),split[r%1][b%1]").arg(i).arg(kPicture);
            for (const char* format : {"rgb24", "bgr24"}) {
                const QString label = QString("[%1%2]").arg(format[0]).arg(i);
                pictures += {"-map", label, "-frames:v", "1", "-f", "rawvideo"};
                pictures += {"-pix_fmt", format, rawPath(i, format)};
            }
        }
        s_made = TestVideo::runFfmpeg(decode + QStringList{"-filter_complex", graph.join(";")} +
                                      pictures);
        for (int i = 0; i < count && s_made; ++i) {
            s_videos[i].rgb = readAll(rawPath(i, "rgb24"));
            s_videos[i].bgr = readAll(rawPath(i, "bgr24"));
        }
    }
    static QString rawPath(int index, const char* format) {
        return s_dir->filePath(QString("%1.%2").arg(index).arg(format));
    }
    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void TearDownTestSuite() {
        s_videos.clear();
        s_dir.reset();
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static std::vector<SizedVideo> s_videos;
    static bool s_made;
};
std::unique_ptr<QTemporaryDir> VideoReaderSizesTest::s_dir;
std::vector<SizedVideo> VideoReaderSizesTest::s_videos;
bool VideoReaderSizesTest::s_made = false;

TEST_F(VideoReaderSizesTest, BothReadersGiveFfmpegsPictureAtEveryWidth) {
    if (!TestVideo::heapChecking())
        std::printf("note: glibc heap checking is off here; overruns show only as wrong pixels\n");
    ASSERT_TRUE(s_made);
    for (const SizedVideo& video : s_videos) {
        const int w = video.width;
        const int h = video.height;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const std::string path = video.path.toStdString();
        ASSERT_EQ(video.rgb.size(), w * h * 3);
        ASSERT_EQ(video.bgr.size(), w * h * 3);
        const auto* rgb = reinterpret_cast<const std::uint8_t*>(video.rgb.constData());
        const auto* bgr = reinterpret_cast<const std::uint8_t*>(video.bgr.constData());

        std::uint8_t supported = 0;
        ASSERT_TRUE(VideoFrameReader::Probe(path.c_str(), &supported));
        VideoFrameReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        ASSERT_EQ(reader.GetWidth(), w);
        ASSERT_TRUE(reader.SeekGrab(kTime));
        EXPECT_EQ(differentColumns(reader.rgb(), rgb, w, h, w * 3, w * 3), "") << "FFmpeg reader";

        // The detector's bitmap is bottom-up with rows padded to 4 bytes: its last row is
        // ffmpeg's first.
        MediaDetReader detector;
        ASSERT_EQ(detector.Open(path.c_str()), 1);
        ASSERT_EQ(detector.GetWidth(), w);
        ASSERT_EQ(detector.Grab(kTime), 1);
        const int stride = detector.stride();
        EXPECT_EQ(differentColumns(detector.pixels() + (h - 1) * stride, bgr, w, h, -stride, w * 3),
                  "")
            << "media-detector reader";
    }
}

} // namespace
